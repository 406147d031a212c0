// Draws the README's picture of the game in a browser: the title page of the built page folder
// in Debian's Chromium, as a PNG of the terminal alone.
//   node tools/web_picture.js WEB_DIR OUT.png   (NODE_PATH: the build's npm/node_modules)
'use strict';
const path = require('node:path');
process.env.PERVARO_WEB_DIR = path.resolve(process.argv[2]);
const { withServedBrowser, GamePage } = require('../tests/web/harness.js');

withServedBrowser(async (browser, server) => {
  const context = await browser.newContext({ viewport: { width: 1000, height: 1000 } });
  const game = await GamePage.open(browser, server.url, { context });
  await game.choose('いずれかのキーを押すと', 'x');
  await game.waitFor('メニューから数字を選び');
  await game.page.waitForTimeout(300);  // drawn, not only parsed
  await game.page.locator('#terminal').screenshot({ path: process.argv[3] });
}).catch((error) => {
  console.error(error);
  process.exit(1);
});
