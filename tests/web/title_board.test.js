// The title page as the virtual terminal's golden page has it, the stage-1 board after the first
// roll, and quitting from the title: the program ends with status 0, the page says so and
// starts a new game on request.
'use strict';
const { test } = require('node:test');
const assert = require('node:assert');
const { servedBrowser, GamePage, goldenPage } = require('./harness.js');

const served = servedBrowser();

test('the title page, the first roll on the stage-1 board, and a quit from the title', async () => {
  const game = await GamePage.open(served.browser, served.url);
  await game.choose('いずれかのキーを押すと', 'x');
  await game.waitFor('メニューから数字を選び');
  assert.deepStrictEqual(await game.rows(), goldenPage('title'));
  // The whole page reached the terminal in one write.
  assert.strictEqual(await game.page.evaluate(() => window.pervaroGame.pervaro.stats.pageWrites), 1);

  await game.press('1', 'Enter');
  await game.toStageOne();
  await game.rollFirst();
  // The unseeded generator always rolls 5 first: the die, then the player on square 5.
  await game.waitFor('+--------+');
  const die = (await game.rows()).slice(16, 21);
  assert.deepStrictEqual(die, [
    '                                  +--------+',
    '                                  |●    ●|',
    '                                  |   ●   |',
    '                                  |●    ●|',
    '                                  +--------+',
  ]);
  await game.press('Space');
  await game.waitFor('■');
  const rows = await game.rows();
  assert.deepStrictEqual(rows.slice(12, 21), [
    '                                 　　　　　　　　　　',
    '                                 　S □□□□■□□　',
    '                                 　　　　　　　　□　',
    '                                 　□□□□□□□□　',
    '                                 　□　　　　　　　　',
    '                                 　□□□□□□□□　',
    '                                 　　　　　　　　□　',
    '                                 　　　　　G □□□　',
    '                                 　　　　　　　　　　',
  ]);
  assert.strictEqual(rows[34], '                       STAGE :  1');
  assert.strictEqual(rows[37], '       LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)');

  await game.page.reload();
  await game.choose('いずれかのキーを押すと', 'x');
  await game.choose('メニューから数字を選び', '0', 'Enter');
  await game.choose('Pervaro team', 'x');
  assert.strictEqual(await game.ended(), 0);
  assert.match(await game.page.textContent('#ended'), /終了ステータス 0/);
  await game.page.click('#again');
  await game.waitFor('いずれかのキーを押すと');
  game.assertQuiet();
});
