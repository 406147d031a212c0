// The save in the browser's storage: a game saved is loaded after a reload of the page, the
// download is its 108 bytes, a write the storage refuses keeps the old save and says so, and an
// uploaded save with extra mode on brings the main menu's entry 4.
'use strict';
const { test } = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const { servedBrowser, GamePage, goldenPage } = require('./harness.js');

const served = servedBrowser();

// A second at which every square event of stage 1 finds coins.
const COINS_EVERYWHERE = Date.UTC(2026, 11, 6, 12, 0, 7);
const HIDDEN = ['ArrowUp', 'ArrowUp', 'ArrowDown', 'ArrowDown', 'ArrowLeft', 'ArrowRight',
  'ArrowLeft', 'ArrowRight', 'b', 'Enter'];
const STATUS_ROW = 36;  // row 37: the inventory's status line

async function inventoryStatus(game) {
  await game.choose('実行メニューを選択', '3', 'Enter');
  await game.waitFor('どれを使用しますか');
  const status = (await game.rows())[STATUS_ROW];
  await game.press('0', 'Enter', 'Space');
  await game.waitFor('実行メニューを選択');
  return status;
}

const WON = '*      LIFE :  5/ 5 , COIN :  2100 , LV : 1 経験値( 0/100)                    *';

test('a stage won with the cursor keys, saved, and loaded after a reload', async () => {
  const game = await GamePage.open(served.browser, served.url, { clock: COINS_EVERYWHERE });
  await game.toMainMenu();
  await game.toStageOne();
  const answers = [['ステージを選択', ['0', 'Enter']], ['シナリオおよびルール', ['0', 'Enter']],
    ['1.ダイスを振る', ['1', 'Enter']]];
  await game.play(answers, '<コマンド選択>');
  // The arrow moves with the cursor keys, from たたかう down and across to ためる.
  const arrowRows = async () => (await game.rows()).slice(33, 36);
  await game.waitFor('→ たたかう');
  await game.press('ArrowDown');
  await game.waitFor('→ ぼうぎょ');
  await game.press('ArrowRight');
  await game.waitFor('→ ためる');
  assert.deepStrictEqual(await arrowRows(), [
    '                       |    たたかう      まほう    |',
    '                       |    ぼうぎょ   → ためる    |',
    '                       |    アイテム      にげる    |',
  ]);
  await game.press(...HIDDEN);
  await game.play(answers, '実行メニューを選択');
  assert.strictEqual(await inventoryStatus(game), WON);
  await game.choose('実行メニューを選択', '8', 'Enter');
  await game.waitFor('セーブが完了しました');

  // Stored for good at once: a reload straight after the message loads it.
  await game.page.reload();
  await game.toMainMenu();
  await game.load();
  assert.strictEqual(await inventoryStatus(game), WON);

  const [download] = await Promise.all([game.page.waitForEvent('download'),
    game.page.click('#download')]);
  assert.strictEqual(download.suggestedFilename(), 'save.bin');
  const bytes = fs.readFileSync(await download.path());
  assert.strictEqual(bytes.length, 108);
  assert.strictEqual(bytes.readInt32LE(8), 2100);  // COIN
  assert.strictEqual(bytes.readInt32LE(16), 5);  // LIFE

  // A write the storage refuses: the game's failure message, and the save stays as it was.
  await game.press('1', 'Enter');
  await game.choose('ステージを選択', '0', 'Enter', 'Space');
  await game.waitFor('実行メニューを選択');
  await game.page.evaluate(() => {
    IDBDatabase.prototype.transaction = function refuse() {
      throw new DOMException('refused by the test', 'QuotaExceededError');
    };
  });
  await game.choose('実行メニューを選択', '8', 'Enter');
  await game.waitFor('save.binのオープンが失敗しました');
  game.assertQuiet();

  await game.page.reload();
  const [again] = await Promise.all([game.page.waitForEvent('download'),
    game.waitFor('いずれかのキーを押すと').then(() => game.page.click('#download'))]);
  assert.deepStrictEqual(fs.readFileSync(await again.path()), bytes);

  // With extra mode on in the file, the main menu has its entry 4 once the save is loaded.
  const extra = Buffer.from(bytes);
  extra.writeInt32LE(1, 20);
  await game.upload(extra);
  await game.toMainMenu();
  await game.load();
  assert.deepStrictEqual(await game.rows(), goldenPage('main_menu_extra'));
  game.assertQuiet();
});
