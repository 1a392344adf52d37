'use strict';
// Screenshots of the one-file page in the system's Chromium:
//   node tools/page_screenshots.js [PAGE] [OUT_DIR]
// writes page-1280x900-*.png and page-360x740-*.png (duel screen after a
// worked duel and after a 100-move cold-weapon duel, calculator, help,
// about). Run by tools/page_screenshots.sh,
// which lets Chromium find Wine's Tahoma where the machine has it. The page
// is served from http://127.0.0.1 for them, so that the duel's link shows
// no folder of the machine that took them.
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { launch, open, fill } = require('../web/test/support');

const root = path.resolve(__dirname, '..');
const pagePath = path.resolve(process.argv[2] || path.join(root, 'build-web/web/saberline.html'));
const out = path.resolve(process.argv[3] || path.join(root, 'docs/screenshots'));

// Serves the page, and nothing else, on 127.0.0.1 (port 8123 if it is free).
async function serve() {
  const server = http.createServer((request, response) => {
    if (request.url.split('?')[0] !== '/saberline.html') {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
    fs.createReadStream(pagePath).pipe(response);
  });
  await new Promise((resolve) => {
    server.once('error', () => server.listen(0, '127.0.0.1', resolve));
    server.listen(8123, '127.0.0.1', resolve);
  });
  return server;
}

(async () => {
  const server = await serve();
  const url = `http://127.0.0.1:${server.address().port}/saberline.html`;
  const browser = await launch();
  for (const [width, height] of [[1280, 900], [360, 740]]) {
    const page = await open(browser, { url, query: '?clock=16,31', viewport: { width, height } });
    const name = (screen) => path.join(out, `page-${width}x${height}-${screen}.png`);
    await fill(page, { BP2: '20', OgnOr1: '12', HolOr1: '1', StrZ1: '3', OgnOr2: '9', HolOr2: '1', StrZ2: '4' });
    await page.click('#GoBattle');
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.screenshot({ path: name('duel') });
    if (width < 760) {
      await page.evaluate(() => document.getElementById('GoBattle').scrollIntoView());
      await page.screenshot({ path: name('duel-logs') });
      await page.evaluate(() => window.scrollTo(0, 0));
    }
    // A cold-weapon duel that lasts all 100 moves: both logs whole, the
    // whole page in one picture.
    await fill(page, { BP1: '300', BP2: '300', OgnOr1: '1', HolOr1: '3', StrZ1: '2', OgnOr2: '1', HolOr2: '3',
      StrZ2: '2', StrSt11: '1', StrSt12: '2', StrSt13: '3', StrSt21: '4', StrSt22: '5', StrSt23: '6',
      ShAtack1: '123456', ShAtack2: '654321' });
    await page.click('#TypeBattle2');
    await page.click('#GoBattle');
    await page.screenshot({ path: name('cold-100-moves'), fullPage: true });
    await page.click('#TypeBattle1');
    await page.evaluate(() => window.scrollTo(0, 0));
    for (const [open, close, screen] of [['GoCalcOfBattleChars', 'GoBattlePanel', 'calculator'],
      ['HelpAction', 'ForHelpClose', 'help'], ['AboutAction', 'ForAboutClose', 'about']]) {
      await page.click('#' + open);
      await page.screenshot({ path: name(screen) });
      await page.click('#' + close);
    }
    await page.context().close();
  }
  await browser.close();
  server.close();
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
