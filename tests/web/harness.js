// What the browser tests share: the built folder served on 127.0.0.1, Debian's Chromium driven
// by playwright-core, and the screen read as cells from the page's xterm.js terminal, in the
// game's own columns (as the golden pages in tests/pages have it).
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const assert = require('node:assert');
const { chromium } = require('playwright-core');

const WEB_DIR = process.env.PERVARO_WEB_DIR && path.resolve(process.env.PERVARO_WEB_DIR);
const PAGES_DIR = process.env.PERVARO_PAGES_DIR;

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
  '.txt': 'text/plain',
};

// Serves the folder (the page's, unless told another) as a static host would. `changed` maps a
// path ('/maps/map01.txt') to other contents, or to null for a file that is not there.
async function serve(changed = {}, folder = WEB_DIR) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(folder, name.endsWith('/') ? name + 'index.html' : name);
    let body = Object.hasOwn(changed, name) ? changed[name] : undefined;
    if (body === undefined && file.startsWith(folder) && fs.existsSync(file) &&
        fs.statSync(file).isFile()) {
      body = fs.readFileSync(file);
    }
    if (body === undefined || body === null) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

async function launch() {
  return chromium.launch({
    executablePath: process.env.PERVARO_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--no-first-run', '--disable-sync', '--disable-quic'],
  });
}

// A page of the game in a fresh browser profile, with everything the console says kept.
class GamePage {
  // `clock`: the wall clock stands still at that time (the game's seeds come from it); the
  // monotonic clock and every timer run on.
  static async open(browser, url, { context, clock } = {}) {
    const own = context || await browser.newContext({ viewport: { width: 1280, height: 1000 },
      acceptDownloads: true });
    const page = await own.newPage();
    if (clock !== undefined) {
      await page.clock.setFixedTime(clock);
    }
    const game = new GamePage(own, page);
    page.on('console', (m) => game.console.push(`${m.type()}: ${m.text()}`));
    page.on('pageerror', (e) => game.console.push(`pageerror: ${e}`));
    await page.goto(url);
    await page.waitForFunction(() => window.pervaroTerminal !== undefined);
    return game;
  }

  constructor(context, page) {
    this.context = context;
    this.page = page;
    this.console = [];
  }

  // The 41 rows in the game's columns: a character the terminal drew one cell wide that the
  // game counts as two (● ■ ― ...) takes its fill cell with it.
  async rows() {
    return this.page.evaluate(() => {
      const buffer = window.pervaroTerminal.buffer.active;
      const rows = [];
      for (let y = 0; y < window.pervaroTerminal.rows; y += 1) {
        const line = buffer.getLine(y);
        let text = '';
        for (let x = 0; x < line.length; x += 1) {
          const cell = line.getCell(x);
          const chars = cell.getChars();
          if (cell.getWidth() === 0) {
            continue;
          }
          text += chars === '' ? ' ' : chars;
          const next = x + 1 < line.length ? line.getCell(x + 1).getChars() : '';
          if (cell.getWidth() === 1 && chars.codePointAt(0) > 0x7f &&
              (next === '' || next === ' ' || next === chars)) {
            x += 1;
          }
        }
        rows.push(text.replace(/ +$/, ''));
      }
      return rows;
    });
  }

  async screen() {
    return (await this.rows()).join('\n');
  }

  // Waits until the text shows anywhere on the screen.
  async waitFor(text, timeout = 20000) {
    const until = Date.now() + timeout;
    for (;;) {
      const screen = await this.screen();
      if (screen.includes(text)) {
        return screen;
      }
      if (Date.now() > until) {
        assert.fail(`"${text}" did not show; the screen:\n${screen}`);
      }
      await this.page.waitForTimeout(20);
    }
  }

  // Keys as a player types them, one press each: 'Enter', 'ArrowUp', '1', ...
  async press(...keys) {
    for (const key of keys) {
      await this.page.keyboard.press(key);
    }
  }

  async choose(text, ...keys) {
    await this.waitFor(text);
    await this.press(...keys);
  }

  // Plays until the text shows or the game ends: once a page stands still, types the keys of the
  // first of the answers whose prompt it shows, or Space on a page that only waits.
  async play(answers, text, timeout = 120000) {
    const until = Date.now() + timeout;
    let last = null;
    for (;;) {
      const screen = await this.screen();
      if (screen.includes(text) || await this.hasEnded()) {
        return screen;
      }
      if (Date.now() > until) {
        assert.fail(`"${text}" did not show; the screen:\n${screen}`);
      }
      if (screen === last) {
        const answer = answers.find(([prompt]) => screen.includes(prompt));
        await this.press(...(answer ? answer[1] : ['Space']));
        last = null;
      } else {
        last = screen;
      }
      await this.page.waitForTimeout(150);
    }
  }

  async hasEnded() {
    return this.page.evaluate(() => document.body.dataset.ended !== undefined);
  }

  // The ways into the game the tests and the bench share.
  async toMainMenu() {
    await this.choose('いずれかのキーを押すと', 'x');
    await this.choose('メニューから数字を選び', '1', 'Enter');
    await this.waitFor('実行メニューを選択');
  }

  // From the main menu into stage 1, up to its first page.
  async toStageOne() {
    await this.choose('実行メニューを選択', '1', 'Enter');
    await this.choose('ステージを選択', '1', 'Enter');
  }

  // From stage 1's first page to the first roll: no story, then the die.
  async rollFirst() {
    await this.waitFor('STAGE :  1');
    await this.press('Space');
    await this.choose('シナリオおよびルール', '0', 'Enter');
    await this.choose('1.ダイスを振る', '1', 'Enter');
  }

  // Puts the bytes in the page's save.bin with its upload control.
  async upload(bytes) {
    await this.page.setInputFiles('#upload-file',
      { name: 'save.bin', mimeType: 'application/octet-stream', buffer: bytes });
    await this.page.waitForFunction(() => /save\.bin/.test(document.getElementById('message').textContent));
  }

  // Loads save.bin from the main menu, and is back there.
  async load() {
    await this.choose('実行メニューを選択', '9', 'Enter');
    await this.choose('ロードが完了しました', 'Space');
    await this.waitFor('実行メニューを選択');
  }

  async ended(timeout = 20000) {
    await this.page.waitForFunction(() => document.body.dataset.ended !== undefined, null,
      { timeout });
    return Number(await this.page.evaluate(() => document.body.dataset.ended));
  }

  // Nothing the page or the game said was an error.
  assertQuiet() {
    assert.deepStrictEqual(this.console.filter((line) => /^(error|pageerror)/.test(line)), []);
  }
}

// For a test file: a server and a browser before its tests, gone after them. The returned
// object's url and browser are there once the tests run.
function servedBrowser(changed = {}) {
  const { before, after } = require('node:test');
  const shared = {};
  before(async () => {
    shared.server = await serve(changed);
    shared.url = shared.server.url;
    shared.browser = await launch();
  });
  after(async () => {
    await shared.browser.close();
    shared.server.close();
  });
  return shared;
}

// For a tool: runs fn(browser, server) with the folder served, and closes both after it.
async function withServedBrowser(fn, folder = WEB_DIR) {
  const server = await serve({}, folder);
  const browser = await launch();
  try {
    return await fn(browser, server);
  } finally {
    await browser.close();
    server.close();
  }
}

// A new game's save with extra mode on: the main menu's entry 4, the free-play menu.
function extraModeSave() {
  const bytes = Buffer.alloc(108);
  [0, 0, 0, 0, 5, 1, 1, 1, 1, 0, 0].forEach((value, index) => bytes.writeInt32LE(value, 4 * index));
  return bytes;
}

// The golden page file as rows, the same file the virtual-terminal tests compare with.
function goldenPage(name) {
  const text = fs.readFileSync(path.join(PAGES_DIR, `${name}.txt`), 'utf8');
  const rows = text.split('\n');
  rows.pop();
  return rows;
}

module.exports = { serve, launch, servedBrowser, withServedBrowser, extraModeSave, GamePage,
  goldenPage };
