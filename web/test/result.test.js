'use strict';
// The result as a person reads and posts it: the move logs wrap and grow at
// every width, two buttons copy the result for a forum post (plain text and
// BBCode), the odds by move are drawn as a picture, the odds stay in view
// while the fields are edited, an opened link's result comes into view with its
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
const {
  launch, open, read, fill, setType, typeInto, press, clockFor, cliFairDuel, pistolDuel, pagePath, pageUrl, root, text, textWith,
  cli, cliRequest, facts,
  accessibilityNode,
} = require('./support');

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
  // At each width, after a 100-move cold duel typed and pressed as a person
  // does: each log shows its whole text with no sideways scrolling inside
  // it, the second log's end (the verdict) is in view, and from 760 pixels
  // nothing below a log is covered by it; after the exit each log is one
  // line again.
  const sizes = [[phone, true], [{ viewport: { width: 760, height: 700 } }, false],
    [{ viewport: { width: 1280, height: 900 } }, false]];
  for (const [size, finger] of sizes) {
    test(`wrap and grow to hold the whole text at ${size.viewport.width} pixels, the verdict in view`, async () => {
      const page = await open(browser, { query: longDuel.query, ...size });
      await typeInto(page, longDuel.fields, { finger });
      await press(page, 'TypeBattle' + longDuel.type, { finger });
      await press(page, 'GoBattle', { finger });
      const shown = await page.evaluate(() => {
        const rect = (id) => document.getElementById(id).getBoundingClientRect();
        const logs = [1, 2].map((d) => {
          const log = document.getElementById('InfoBM' + d);
          return { length: log.value.length, scroll: log.scrollHeight, client: log.clientHeight,
            scrollWidth: log.scrollWidth, clientWidth: log.clientWidth, box: rect('InfoBM' + d).toJSON() };
        });
        const below = ['TInfoBM2', 'GoExit', 'ErrorText'].map((id) => [id, rect(id).top]);
        return { logs, below, odds: rect('Odds').top, view: innerHeight, page: document.documentElement.scrollWidth,
          panel: rect('BattlePanel').bottom, extras: rect('DuelExtras').top, verdict: logs[1].box.bottom };
      });
      for (const log of shown.logs) {
        assert.ok(log.length > 1300, String(log.length));
        assert.ok(log.scroll <= log.client + 1, `all ${log.scroll} pixels of text show in ${log.client}`);
        assert.ok(log.scrollWidth <= log.clientWidth, `no sideways scrolling: ${log.scrollWidth} in ${log.clientWidth}`);
        assert.ok(log.box.height > 48, `the log grew: ${log.box.height}`);
      }
      assert.ok(shown.page <= size.viewport.width, `the page scrolls sideways: ${shown.page}`);
      const bottom = finger ? shown.odds : shown.view;
      assert.ok(shown.verdict <= bottom + 0.5 && shown.verdict > 0, `the verdict at ${shown.verdict}, seen to ${bottom}`);
      if (!finger) {
        const [tInfo2, exit, message] = shown.below.map(([, top]) => top);
        assert.ok(tInfo2 >= shown.logs[0].box.bottom, 'the second caption below the first log');
        assert.ok(exit >= shown.logs[1].box.bottom && message > exit, 'the exit and the message below the second log');
        assert.ok(shown.extras >= shown.panel && shown.panel >= message, 'the duel screen holds them, its extras below');
      }
      await press(page, 'GoExit', { finger });
      const heights = await page.evaluate(() => [1, 2].map((d) => document.getElementById('InfoBM' + d).offsetHeight));
      assert.deepEqual(heights, finger ? [44, 44] : [24, 24]);
      assert.deepEqual(page.errors, []);
      await page.context().close();
    });
  }

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
  test('plain text and BBCode: both logs under their captions, the message and the duel\'s link', async () => {
    const page = await open(browser, { query: longDuel.query });
    await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
    for (const button of ['CopyResult', 'CopyResultBBCode'])
      assert.equal(await page.isDisabled('#' + button), true, `nothing for ${button} to copy before a duel`);
    await typeInto(page, longDuel.fields);
    await press(page, 'TypeBattle' + longDuel.type);
    await press(page, 'GoBattle');
    const shown = await read(page, ['TInfoBM1', 'InfoBM1', 'TInfoBM2', 'InfoBM2', 'ErrorText', 'DuelLink']);
    const clipboard = () => page.evaluate(() => navigator.clipboard.readText());
    await press(page, 'CopyResult');
    assert.equal(await clipboard(),
      `Ходы бойца №1:\n${shown.InfoBM1}\n\nХоды бойца №2:\n${shown.InfoBM2}\n\n` +
      `${text('kLongDuel')}\n\n${shown.DuelLink}`);
    await press(page, 'CopyResultBBCode');
    const post = `[b]Ходы бойца №1:[/b]\n[code]${shown.InfoBM1}[/code]\n\n[b]Ходы бойца №2:[/b]\n[code]${shown.InfoBM2}[/code]\n\n` +
      `${text('kLongDuel')}\n\n[url]${shown.DuelLink}[/url]`;
    assert.equal(await clipboard(), post);
    // The same post as saberline-cli duel --bbcode writes for this duel.
    const address = shown.DuelLink.split('#')[0];
    const readings = new URLSearchParams(shown.DuelLink.split('#')[1]).get('clock');
    const request = { TypeBattle: longDuel.type, ...Object.fromEntries(facts.duelFields.map(({ name, startUp }) => [name, startUp])),
      ...longDuel.fields };
    if (address.startsWith('http')) assert.equal(cli(['duel', '--bbcode', '--clock', readings, '--address', address], request), post + '\n');
    else assert.equal(cli(['duel', '--bbcode', '--clock', readings], request), post.slice(0, post.lastIndexOf('\n\n[url]')) + '\n');
    // After a fair duel the page passes the fair duel's parts through: the
    // verification link and the commitments go into the post.
    await page.evaluate(() => {
      window.SaberlineFair.forumParts = () => ({ verificationLink: 'https://forum.example/s.html#fair:x', commitment: 'ab',
        commitment2: 'cd' });
    });
    await press(page, 'CopyResultBBCode');
    assert.equal(await clipboard(), `${post}\n\n[b]Ссылка проверки:[/b]\n[url]https://forum.example/s.html#fair:x[/url]\n` +
      '[b]Обязательство судьи:[/b] ab\n[b]Обязательство игрока бретёра №2:[/b] cd');
    await page.context().close();
    // A duel without a message: no empty paragraph for it.
    const other = await open(browser, { query: '?clock=16,31' });
    await other.context().grantPermissions(['clipboard-read', 'clipboard-write']);
    await typeInto(other, pistolDuel);
    await press(other, 'GoBattle');
    await press(other, 'CopyResult');
    const copied = await other.evaluate(() => navigator.clipboard.readText());
    assert.equal(copied.split('\n\n').length, 3, copied);
    await other.context().close();
  });
});

describe('the odds as a picture', () => {
  // The picture's bands read back as chances by the end of each move: each
  // band's points are its lower edge for moves 0 to 100, then its upper edge
  // back, in the SVG's own units (move across, 100 - percent up).
  const readPicture = (page) => page.evaluate(() => {
    const edges = (id) => {
      const points = document.getElementById(id).getAttribute('points').trim().split(/\s+/)
        .map((pair) => pair.split(',').map(Number));
      return { lower: points.slice(0, 101), upper: points.slice(101).reverse() };
    };
    const svg = document.getElementById('OddsPicture');
    const line = document.getElementById('OddsDecided');
    return {
      bands: Object.fromEntries(['OddsBand1', 'OddsBandBoth', 'OddsBandGoing', 'OddsBand2'].map((id) => [id, edges(id)])),
      decided: line.style.display === 'none' ? 0 : Number(line.getAttribute('x1')),
      name: svg.getAttribute('aria-labelledby') && document.getElementById(svg.getAttribute('aria-labelledby')).textContent,
      summary: document.getElementById('OddsSummary').textContent,
      shown: !document.getElementById('OddsChart').hidden && svg.getBoundingClientRect().height > 100,
    };
  });
  // How the picture stands against saberline-cli odds --json for the fields.
  function assertPictureIs(picture, odds, what) {
    const chance = (y) => (100 - y) / 100;
    const { OddsBand1: one, OddsBandBoth: both, OddsBandGoing: going, OddsBand2: two } = picture.bands;
    assert.equal(odds.by_move.length, 100);
    for (let n = 0; n <= 100; ++n) {
      const at = n === 0 ? { duellist1: 0, duellist2: 0, both_fell: 0, going: 1 } : odds.by_move[n - 1];
      for (const band of [one, both, going, two]) {
        assert.equal(band.lower[n][0], n, `${what}: move ${n}`);
        assert.equal(band.upper[n][0], n, `${what}: move ${n}`);
      }
      const near = (a, b, name) => assert.ok(Math.abs(a - b) < 1e-4, `${what}, ${name} by move ${n}: ${a} against ${b}`);
      near(chance(one.lower[n][1]), 0, 'the bottom');
      near(chance(one.upper[n][1]), at.duellist1, 'duellist 1');
      near(chance(both.upper[n][1]) - chance(both.lower[n][1]), at.both_fell, 'both fell');
      near(chance(going.upper[n][1]) - chance(going.lower[n][1]), at.going, 'going');
      near(1 - chance(two.lower[n][1]), at.duellist2, 'duellist 2');
      near(chance(two.upper[n][1]), 1, 'the top');
      // The bands stack: each lies on the one below.
      assert.equal(both.lower[n][1], one.upper[n][1]);
      assert.equal(going.lower[n][1], both.upper[n][1]);
      assert.equal(two.lower[n][1], going.upper[n][1]);
    }
    const decided = odds.by_move.findIndex((at) => at.going <= 0.1 + 1e-12) + 1;
    assert.equal(picture.decided, decided, `${what}: the 90 % line`);
  }

  test('two requests typed: the picture is saberline-cli odds --json move by move, named and summed up in one line', async () => {
    for (const [width, finger] of [[1280, false], [360, true]]) {
      const page = await open(browser, { viewport: { width, height: width > 760 ? 900 : 740 },
        options: finger ? { hasTouch: true, isMobile: true } : {} });
      assert.equal(await page.isVisible('#OddsChart'), false, 'no picture for the refused start-up fields');
      const summaries = new Set();
      // [what, fields typed, duel type, summary]
      // [what, fields typed, duel type]
      const requests = [
        ['the pistol duel', pistolDuel, 1],
        ['a long cold duel of parried attacks', { BP1: '60', BP2: '58', HolOr1: '3', HolOr2: '3', StrZ1: '0', StrZ2: '0',
          StrSt11: '1', StrSt12: '2', StrSt13: '3', ShAtack1: '4445', StrSt21: '4', StrSt22: '5', StrSt23: '6', ShAtack2: '1123' },
        2],
      ];
      for (const [what, fields, type] of requests) {
        await typeInto(page, fields, { finger });
        await press(page, 'TypeBattle' + type, { finger });
        const picture = await readPicture(page);
        const request = cliRequest(await page.evaluate(() => window.Saberline.readDuelFields()));
        const odds = JSON.parse(cli(['odds', '--json'], request));
        assert.equal(odds.ErrorText, '', what);
        assert.ok(picture.shown, what);
        assertPictureIs(picture, odds, what);
        assert.equal(picture.name, text('kOddsPictureName'));
        // The summary names the move of the 90 % line, or the chance that
        // the duel is decided at all when there is none.
        const summary = picture.decided ? textWith('kOddsSummaryDecided', String(picture.decided))
          : textWith('kOddsSummaryOpen', (100 * (1 - odds.undecided)).toFixed(1) + ' %');
        assert.equal(picture.summary, summary, what);
        summaries.add(picture.decided ? 'decided' : 'open');
        const node = await accessibilityNode(page, 'OddsPicture');
        assert.deepEqual([node.role, node.name, node.description], ['image', text('kOddsPictureName'), picture.summary]);
      }
      assert.deepEqual([...summaries].sort(), ['decided', 'open'], 'both kinds of summary');
      // A refusal takes the picture away with the figures.
      await typeInto(page, { BP1: '0' }, { finger });
      assert.equal(await page.isVisible('#OddsChart'), false);
      assert.deepEqual(page.errors, []);
      await page.context().close();
    }
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
