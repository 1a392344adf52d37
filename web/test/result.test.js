'use strict';
// The result as a person reads and posts it: the move logs wrap on a phone,
// a button copies the result for a forum post, the odds stay in view while
// the fields are edited, an opened link's result comes into view with its
// notice, a pasted link opens in this copy, and links point where others
// can open them.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const { pathToFileURL } = require('node:url');
const { launch, open, read, fill, setType, clockFor, cliFairDuel, pistolDuel, pagePath, pageUrl, root, text } =
  require('./support');

// The referee's commitment to the worked pistol duel with the secret 'ab' * 32.
const pistolCommitment = () => cliFairDuel('ab'.repeat(32), '1', '2').commitment;

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const phone = { viewport: { width: 360, height: 740 }, options: { hasTouch: true, isMobile: true } };
// 100 undecided cold moves: the longest logs, and the long-duel message.
const longDuel = {
  query: '?clock=' + clockFor([[1, 1]]), type: 2,
  fields: { BP1: '9999', OgnOr1: '1', HolOr1: '1', StrZ1: '7', StrSt11: '1', StrSt12: '2', StrSt13: '3', ShAtack1: '123456',
    BP2: '9999', OgnOr2: '1', HolOr2: '1', StrZ2: '7', StrSt21: '4', StrSt22: '5', StrSt23: '6', ShAtack2: '654321' },
};

// Where an element stands in the viewport.
const box = (page, id) => page.evaluate((i) => {
  const r = document.getElementById(i).getBoundingClientRect();
  return { top: r.top, bottom: r.bottom, left: r.left, right: r.right, height: r.height, view: innerHeight };
}, id);
const inView = (b) => b.top >= 0 && b.bottom <= b.view && b.height > 0;

describe('the move logs', () => {
  test('wrap at phone widths so that the whole text shows, and stay one line from 760 pixels', async () => {
    for (const [size, wraps] of [[phone, true], [{ viewport: { width: 760, height: 900 } }, false]]) {
      const page = await open(browser, { query: longDuel.query, ...size });
      await fill(page, longDuel.fields);
      await setType(page, longDuel.type);
      await page.click('#GoBattle');
      const shown = await page.evaluate(() => [1, 2].map((d) => {
        const log = document.getElementById('InfoBM' + d);
        return { length: log.value.length, scroll: log.scrollHeight, client: log.clientHeight, height: log.offsetHeight,
          right: log.getBoundingClientRect().right };
      }));
      for (const log of shown) {
        assert.ok(log.length > 1300, String(log.length));
        if (wraps) {
          assert.ok(log.scroll <= log.client + 1, `all ${log.scroll} pixels of text show in ${log.client}`);
          assert.ok(log.height > 300 && log.right <= 360, JSON.stringify(log));
        } else {
          assert.equal(log.height, 24);
        }
      }
      await page.context().close();
    }
  });

  test('Enter in a log starts nothing and breaks no line; a pasted line break becomes a space', async () => {
    const page = await open(browser, { query: '?clock=16,31', ...phone });
    await page.tap('#InfoBM1');
    await page.keyboard.press('End');
    await page.keyboard.press('Enter');
    assert.deepEqual(await read(page, ['InfoBM1', 'ErrorText']), { InfoBM1: 'Ещё не рассчитано!', ErrorText: '' });
    await page.keyboard.insertText('a\nb');
    assert.equal((await read(page, ['InfoBM1'])).InfoBM1, 'Ещё не рассчитано!a b');
    await page.context().close();
  });
});

describe('the result for a forum post', () => {
  test('both logs under their captions, the message and the duel\'s link', async () => {
    const page = await open(browser, { query: longDuel.query });
    await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
    assert.equal(await page.isDisabled('#CopyResult'), true, 'nothing to copy before a duel');
    await fill(page, longDuel.fields);
    await setType(page, longDuel.type);
    await page.click('#GoBattle');
    await page.click('#CopyResult');
    const shown = await read(page, ['TInfoBM1', 'InfoBM1', 'TInfoBM2', 'InfoBM2', 'ErrorText', 'DuelLink']);
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()),
      `Ходы бойца №1:\n${shown.InfoBM1}\n\nХоды бойца №2:\n${shown.InfoBM2}\n\n` +
      `${text('kLongDuel')}\n\n${shown.DuelLink}`);
    await page.context().close();
    // A duel without a message: no empty paragraph for it.
    const other = await open(browser, { query: '?clock=16,31' });
    await other.context().grantPermissions(['clipboard-read', 'clipboard-write']);
    await fill(other, pistolDuel);
    await other.click('#GoBattle');
    await other.click('#CopyResult');
    const copied = await other.evaluate(() => navigator.clipboard.readText());
    assert.equal(copied.split('\n\n').length, 3, copied);
    await other.context().close();
  });
});

test('at 360 pixels the odds stay in view while the fields are edited', async () => {
  const page = await open(browser, { query: '?clock=16,31', ...phone });
  for (const [id, text] of [['BP1', '40'], ['OgnOr1', '12'], ['StrSt13', '5'], ['ShAtack2', '123'], ['BP2', '20']]) {
    await page.tap('#' + id);
    await page.keyboard.insertText(text);
    const [field, odds] = [await box(page, id), await box(page, 'Odds')];
    assert.ok(inView(odds) && odds.height < 150, `odds while ${id} is edited: ${JSON.stringify(odds)}`);
    assert.ok(inView(field) && field.bottom <= odds.top, `${id} above the odds: ${JSON.stringify([field, odds])}`);
  }
  await fill(page, { HolOr1: '1', StrZ1: '3', OgnOr2: '9', HolOr2: '1', StrZ2: '4' });
  await page.tap('#BP1');
  assert.match(await page.textContent('#OddsDuellist1'), /^\d+\.\d %$/);
  assert.equal(await page.isVisible('#OddsDuellist1'), true);
  await page.context().close();
});

describe('an opened link comes into view with its notice', () => {
  let link;
  before(async () => {
    const page = await open(browser, { query: '?clock=16,31' });
    await fill(page, pistolDuel);
    await page.click('#GoBattle');
    link = (await read(page, ['DuelLink'])).DuelLink;
    await page.context().close();
  });
  for (const [what, size] of [['360 pixels', phone], ['1280 pixels', {}]]) {
    test(`a duel link at ${what}: the replay mark beside the logs`, async () => {
      const page = await open(browser, { url: link, ...size });
      const [mark, caption, log] = [await box(page, 'ReplayMark'), await box(page, 'TInfoBM1'), await box(page, 'InfoBM1')];
      assert.ok(inView(mark) && inView(caption) && log.top < log.view, JSON.stringify({ mark, caption, log }));
      assert.ok(Math.abs(caption.top - mark.bottom) < 250, JSON.stringify({ mark, caption }));
      await page.context().close();
    });
    test(`a damaged link at ${what}: its notice in view`, async () => {
      const page = await open(browser, { url: link.slice(0, -10), ...size });
      assert.equal(await page.textContent('#PageNotice'), text('kDuelLinkBad'));
      assert.ok(inView(await box(page, 'PageNotice')));
      await page.context().close();
    });
  }
  test('a fair duel at 360 pixels: its logs come into view; a refused request its message at the panel', async () => {
    const page = await open(browser, phone);
    await fill(page, { ...pistolDuel, FairSecret: 'ab'.repeat(32), FairCommitment: pistolCommitment(), FairWord1: '1523',
      FairWord2: '1524' });
    await page.tap('#FairBattle');
    await page.evaluate(() => window.Saberline.settled());
    const [caption, log] = [await box(page, 'TInfoBM1'), await box(page, 'InfoBM1')];
    assert.ok(inView(caption) && log.top < log.view && (await read(page, ['InfoBM1'])).InfoBM1 !== '',
      JSON.stringify({ caption, log }));
    await fill(page, { BP1: '0' });
    await page.tap('#FairBattle');
    await page.evaluate(() => window.Saberline.settled());
    assert.equal(await page.textContent('#FairMessage'), text('kInputError'));
    assert.ok(inView(await box(page, 'FairMessage')) && inView(await box(page, 'FairBattle')));
    assert.equal((await read(page, ['FairLink'])).FairLink, '');
    await page.context().close();
  });
  test('a verification link at 360 pixels: its check in view', async () => {
    const page = await open(browser, { url: pageUrl + '#fair:saberline-fair-v9&x=1', ...phone });
    const check = await box(page, 'FairCheck');
    assert.ok(check.top >= 0 && check.top < check.view / 2, JSON.stringify(check));
    assert.ok(inView(await box(page, 'FairVerdict')));
    await page.context().close();
  });
});

describe('links anyone can open', () => {
  test('a pasted link, whole or after its "#", opens in this copy; a verification link too', async () => {
    const made = await open(browser, { query: '?clock=16,31' });
    await fill(made, pistolDuel);
    await made.click('#GoBattle');
    const shown = await read(made, ['InfoBM1', 'InfoBM2', 'DuelLink']);
    await made.context().close();
    const fragment = shown.DuelLink.split('#')[1];
    for (const pasted of [shown.DuelLink, 'https://forum.example/files/saberline.html#' + fragment, fragment, ` ${fragment}\n`]) {
      const page = await open(browser);
      await fill(page, { PastedLink: pasted });
      await page.click('#OpenPastedLink');
      assert.deepEqual(await read(page, ['InfoBM1', 'InfoBM2', 'BP2', 'PageNotice']),
        { InfoBM1: shown.InfoBM1, InfoBM2: shown.InfoBM2, BP2: '20', PageNotice: '' }, pasted);
      assert.equal(await page.isVisible('#ReplayMark'), true);
      await page.context().close();
    }
    const page = await open(browser);
    await fill(page, { PastedLink: 'file:///C:/Users/someone/saberline.html#fair:saberline-fair-v9&x=1' });
    await page.click('#OpenPastedLink');
    assert.equal(await page.isVisible('#FairCheck'), true);
    assert.ok((await page.textContent('#FairVerdict')).startsWith(text('kFairLinkOtherVersion')));
    await fill(page, { PastedLink: 'nothing' });
    await page.click('#OpenPastedLink');
    assert.equal(await page.textContent('#PageNotice'), text('kDuelLinkBad'));
    await page.context().close();
  });

  // What the copy buttons say beside a fresh duel's link and the fair
  // duel's link on a page opened at `url`.
  async function linksAt(url) {
    const page = await open(browser, { url: url + '?clock=16,31' });
    await fill(page, { ...pistolDuel, FairSecret: 'ab'.repeat(32), FairCommitment: pistolCommitment(), FairWord1: '1',
      FairWord2: '2' });
    await page.click('#GoBattle');
    const duel = await read(page, ['DuelLink', 'DuelLinkNote']);
    const duelNote = await page.isVisible('#DuelLinkNote');
    const described = await page.getAttribute('#CopyDuelLink', 'aria-describedby');
    await page.click('#FairBattle');
    await page.waitForFunction(() => document.getElementById('FairLink').value !== '');
    const fair = await read(page, ['FairLink', 'FairLinkNote']);
    const fairNote = await page.isVisible('#FairLinkNote');
    await page.context().close();
    return { duel, duelNote, described, fair, fairNote };
  }
  const onlyHere = text('kLinkOnlyHere');

  test('from disk with no public address: the copy buttons say where the link opens and how others open it', async () => {
    const shown = await linksAt(pageUrl);
    assert.ok(shown.duel.DuelLink.startsWith(pageUrl + '#duel=1&'));
    assert.deepEqual([shown.duelNote, shown.duel.DuelLinkNote, shown.described], [true, onlyHere, 'DuelLinkNote']);
    assert.ok(shown.fair.FairLink.startsWith(pageUrl + '#fair:'));
    assert.deepEqual([shown.fairNote, shown.fair.FairLinkNote], [true, onlyHere]);
  });

  test('over HTTP: links at the page\'s own address, no note', async () => {
    const server = http.createServer((request, response) => {
      response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
      fs.createReadStream(pagePath).pipe(response);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    try {
      const url = `http://127.0.0.1:${server.address().port}/saberline.html`;
      const shown = await linksAt(url);
      assert.ok(shown.duel.DuelLink.startsWith(url + '#duel=1&'), shown.duel.DuelLink);
      assert.deepEqual([shown.duelNote, shown.described, shown.fairNote], [false, null, false]);
    } finally {
      server.close();
    }
  });

  test('a page built with a public address links there, from disk too, with no note', () => {
    const built = path.dirname(pagePath);
    const out = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'saberline-page-')), 'saberline.html');
    const address = 'https://forum.example/files/saberline.html';
    // The arguments the build makes the page with, and a public address.
    const make = (extra) => spawnSync('python3', [path.join(root, 'web', 'make_page.py'),
      '@' + path.join(built, 'make_page.args'), '-o', out, ...extra], { encoding: 'utf8' });
    const refused = make(['--public-address', 'https://forum.example/x.html#part']);
    assert.notEqual(refused.status, 0);
    assert.match(refused.stderr, /public address/);
    const run = make(['--public-address', address]);
    assert.equal(run.status, 0, run.stderr);
    return linksAt(pathToFileURL(out).href).then((shown) => {
      assert.ok(shown.duel.DuelLink.startsWith(address + '#duel=1&'), shown.duel.DuelLink);
      assert.ok(shown.fair.FairLink.startsWith(address + '#fair:'), shown.fair.FairLink);
      assert.deepEqual([shown.duelNote, shown.fairNote], [false, false]);
      fs.rmSync(path.dirname(out), { recursive: true, force: true });
    });
  });
});
