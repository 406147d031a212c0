// The browser bench: the figures of the web build in Debian's Chromium, as one table.
//   node bench/web/run.js BUILD_WEB [--quick]   (NODE_PATH: BUILD_WEB/npm/node_modules)
// The bench program (web_bench.cpp) measures the platform's timers and the time from keydown to
// the game; this driver presses the keys, and measures on the game's own page the write calls
// per page, the tab's CPU while the game waits at a prompt, the time from navigation to the
// start-up hint, and what a player downloads.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');

const build = path.resolve(process.argv[2] || 'build-web');
const quick = process.argv.includes('--quick');
process.env.PERVARO_WEB_DIR = path.join(build, 'web');
const { withServedBrowser, extraModeSave, GamePage } = require('../../tests/web/harness.js');

const rows = [];
function summarize(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const rank = (f) => sorted[Math.min(sorted.length - 1, Math.max(0, Math.ceil(f * sorted.length) - 1))];
  return { min: sorted[0], median: rank(0.5), p99: rank(0.99), max: sorted[sorted.length - 1], n: sorted.length };
}
function number(value) {
  if (value !== 0 && Math.abs(value) < 0.01) return value.toFixed(4);
  if (Math.abs(value) < 100 && value !== Math.floor(value)) return value.toFixed(3);
  return value.toFixed(0);
}
function row(figure, unit, values, budget, ok) {
  const s = summarize(values);
  rows.push(`| ${figure} | ${unit} | ${number(s.min)} | ${number(s.median)} | ${number(s.p99)} | ` +
    `${number(s.max)} | ${s.n} | ${budget} | ${ok === undefined ? 'stated' : ok ? 'ok' : 'MISSED'} |`);
}

async function benchProgram(browser, server) {
  const page = await browser.newPage();
  page.on('console', (m) => process.stderr.write(`${m.text()}\n`));
  const args = quick ? '?arg=--quick' : '';
  await page.goto(`${server.url}bench/${args}`);
  let parts = 0;
  for (;;) {
    await page.waitForFunction((seen) => window.benchParts.length > seen, parts, { timeout: 0 });
    const part = await page.evaluate((at) => window.benchParts[at], parts);
    parts += 1;
    if (part === 'done') {
      break;
    }
    // Keys at random moments, so they meet the 3 ms ticks at every phase.
    for (let i = 0; i < (quick ? 50 : 200); i += 1) {
      await page.keyboard.press('Space');
      await page.waitForTimeout(5 + Math.random() * 20);
    }
  }
  const output = await page.evaluate(() => window.benchOutput);
  await page.close();
  return output.filter((line) => line.startsWith('|'));
}

// The write calls of the page the game waits on now.
async function pageWrites(game) {
  await game.page.waitForTimeout(300);  // the wait has begun
  return game.page.evaluate(() => window.pervaroGame.pervaro.stats.pageWrites);
}

// The title, the stage-1 board after a roll, a boss battle's turn and the bingo card.
async function writeFigures(browser, server) {
  const writes = { title: [], board: [], boss: [], bingo: [] };
  const coins = Date.UTC(2026, 11, 6, 12, 0, 7);
  for (let run = 0; run < (quick ? 1 : 3); run += 1) {
    const game = await GamePage.open(browser, `${server.url}web/`, { clock: coins });
    await game.upload(extraModeSave());
    await game.choose('いずれかのキーを押すと', 'x');
    await game.waitFor('メニューから数字を選び');
    writes.title.push(await pageWrites(game));
    await game.press('1', 'Enter');
    await game.load();
    await game.choose('4.', '4', 'Enter');
    await game.choose('遊ぶミニゲームの番号を選択', '8', 'Enter');
    await game.choose('～ ビンゴゲーム ～', 'Space');
    await game.waitFor('あなたのビンゴカード');
    writes.bingo.push(await pageWrites(game));
    await game.context.close();

    const stage = await GamePage.open(browser, `${server.url}web/`, { clock: coins });
    await stage.toMainMenu();
    await stage.toStageOne();
    await stage.rollFirst();
    await stage.choose('+--------+', 'Space');
    await stage.waitFor('■');
    writes.board.push(await pageWrites(stage));
    await stage.play([['シナリオおよびルール', ['0', 'Enter']], ['1.ダイスを振る', ['1', 'Enter']]],
      '<コマンド選択>');
    await stage.press('Enter');  // たたかう: the turn is fought and the page drawn again
    await stage.page.waitForTimeout(3000);
    await stage.play([], '<コマンド選択>');
    writes.boss.push(await pageWrites(stage));
    await stage.context.close();
  }
  const pages = [['title page', writes.title], ['board (stage 1)', writes.board],
    ['boss battle turn', writes.boss], ['bingo card', writes.bingo]];
  for (const [name, values] of pages) {
    row(`${name}: write calls`, 'writes', values, 'one write per page', summarize(values).max === 1);
  }
}

async function pageFigures(browser, server) {
  const starts = [];
  const cpu = [];
  for (let run = 0; run < (quick ? 1 : 5); run += 1) {
    const context = await browser.newContext({ viewport: { width: 1280, height: 1000 } });
    const game = await GamePage.open(browser, `${server.url}web/`, { context });
    await game.waitFor('いずれかのキーを押すと');
    starts.push(await game.page.evaluate(() => window.pervaroGame.pervaro.stats.firstKeyWaitAt));
    if (run < (quick ? 1 : 3)) {
      const cdp = await context.newCDPSession(game.page);
      await cdp.send('Performance.enable');
      const busy = async () => (await cdp.send('Performance.getMetrics')).metrics
        .find((m) => m.name === 'TaskDuration').value;
      const before = await busy();
      const from = Date.now();
      await game.page.waitForTimeout(10000);
      cpu.push((100 * (await busy() - before)) / ((Date.now() - from) / 1000));
    }
    await context.close();
  }
  row('navigation to the start-up hint (localhost)', 'ms', starts, 'under 1000 ms',
    summarize(starts).max < 1000);
  row("the tab's CPU while the game waits 10 s at a prompt", '% of a core', cpu, 'under 1%',
    summarize(cpu).max < 1);
}

function downloadSize() {
  const web = path.join(build, 'web');
  const gz = (name) => zlib.gzipSync(fs.readFileSync(path.join(web, name)), { level: 9 }).length / 1024;
  const parts = ['pervaro.wasm', 'pervaro.js', 'xterm/xterm.mjs'];
  for (const name of parts) {
    row(`download: ${name}, gzip`, 'KiB', [gz(name)], 'stated');
  }
  const all = [...parts, 'index.html', 'page.js', 'page.css', 'save_store.js', 'xterm/xterm.css',
    ...fs.readdirSync(path.join(web, 'maps')).map((m) => `maps/${m}`)];
  row('download: the whole page, gzip', 'KiB', [all.reduce((sum, name) => sum + gz(name), 0)], 'stated');
}

withServedBrowser(async (browser, server) => {
  const table = await benchProgram(browser, server);
  await writeFigures(browser, server);
  await pageFigures(browser, server);
  downloadSize();
  console.log([...table, ...rows].join('\n'));
}, build).catch((error) => {
  console.error(error);
  process.exit(1);
});
