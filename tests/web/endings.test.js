// The ways the program ends in a page: a game over ends it with status 1 and a map that is
// missing or malformed in the served folder with status 1 and the terminal's message, each
// with the page's ending notice.
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert');
const { serve, launch, GamePage } = require('./harness.js');

let browser;
before(async () => {
  browser = await launch();
});
after(async () => {
  await browser.close();
});

// A second at which every square event of stage 1 is a trap.
const TRAPS_EVERYWHERE = Date.UTC(2026, 11, 6, 12, 0, 11);

test('a game over ends the program with status 1', async () => {
  const server = await serve();
  const game = await GamePage.open(browser, server.url, { clock: TRAPS_EVERYWHERE });
  await game.toMainMenu();
  await game.toStageOne();
  const answers = [['シナリオおよびルール', ['0', 'Enter']], ['1.ダイスを振る', ['1', 'Enter']]];
  const screen = await game.play(answers, 'Game  Over');
  assert.match(screen, /またの挑戦、まっておるぞ !!/);
  await game.press('Space');
  assert.strictEqual(await game.ended(), 1);
  assert.match(await game.page.textContent('#ended'), /終了ステータス 1/);
  game.assertQuiet();
  server.close();
});

const BROKEN_MAPS = [
  ['missing', null, 'No such file or directory'],
  ['malformed', 'these are not numbers\n', 'the width is not a number'],
];
for (const [what, contents, problem] of BROKEN_MAPS) {
  test(`a ${what} map ends the program with the terminal's message`, async () => {
    const server = await serve({ '/maps/map01.txt': contents });
    const game = await GamePage.open(browser, server.url);
    await game.toMainMenu();
    await game.toStageOne();
    assert.strictEqual(await game.ended(), 1);
    const rows = await game.rows();
    assert.strictEqual(rows[0], 'Error!');
    assert.strictEqual(rows[1], `pervaro: map file "map01.txt" for stage 1: ${problem}`);
    assert.deepStrictEqual(game.console.filter((line) => /^(error|pageerror)/.test(line) &&
      !/Failed to load resource: the server responded with a status of 404/.test(line)), []);
    server.close();
  });
}
