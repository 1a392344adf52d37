'use strict';
// The page as a file: opened from disk and over HTTP with no request
// leaving it, at a phone's size, and under 2,000 random events.
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const http = require('node:http');
const fs = require('node:fs');
const path = require('node:path');
const { launch, open, read, fill, visibleScreens, modal, random, pagePath, pageUrl, clockFor, facts, root, cli,
  pistolDuel,
} = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// Everything a visit does: a duel, both generators, the odds, the
// calculator and its dialog, the transfer question, help and about.
async function useEverything(page) {
  await fill(page, { BP2: '20', OgnOr1: '12', HolOr1: '1', StrZ1: '3', OgnOr2: '9', HolOr2: '1', StrZ2: '4' });
  await page.click('#GoBattle');
  await page.click('#GenShAttack1');
  await page.click('#GenShAtack2');
  await page.click('#CopyDuelLink');
  await page.click('#HelpAction');
  await page.click('#ForHelpClose');
  await page.click('#AboutAction');
  await page.click('#ForAboutClose');
  await page.click('#GoCalcOfBattleChars');
  await page.click('#CalcOfBattleChars');
  await page.click('#ModalOk');
  await fill(page, { SumPostsBM1: '100', SumRBM1: '5', SumPostsBM2: '100', SumRBM2: '5' });
  await page.click('#CalcOfBattleChars');
  await page.click('#MoveCarsOfBattlePanel');
  await page.click('#ModalYes');
  await page.click('#GoBattlePanel');
  const shown = await read(page, ['InfoBM1', 'ShAtack1', 'OgnOr1', 'OddsDuellist1']);
  assert.match(shown.ShAtack1, /^[1-6]{100}$/);
  assert.equal(shown.OgnOr1, '9');
  assert.match(shown.OddsDuellist1, /^\d+\.\d %$/);
}

test('the file is UTF-8\'s byte order mark, then ASCII alone (its Russian texts escaped: the start-up test reads them back)', () => {
  // The mark makes the browser decode the file at once as UTF-8; one
  // character outside ASCII after it makes the browser hold the whole file at
  // two bytes a character. A slow phone pays for either while the page loads.
  const bytes = fs.readFileSync(pagePath);
  assert.deepEqual([...bytes.subarray(0, 3)], [0xef, 0xbb, 0xbf]);
  const outside = bytes.subarray(3).findIndex((byte) => byte > 0x7f);
  assert.equal(outside, -1, `a byte outside ASCII at ${outside + 3}`);
});

test('from disk: no request but the page itself', async () => {
  const page = await open(browser);
  await useEverything(page);
  assert.deepEqual(page.requests.filter((url) => !url.startsWith('data:')), [pageUrl]);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('over HTTP from a static server: the one file, and nothing else asked for', async () => {
  const asked = [];
  const server = http.createServer((request, response) => {
    asked.push(request.url);
    if (request.url === '/' || request.url === '/saberline.html') {
      response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
      fs.createReadStream(pagePath).pipe(response);
    } else {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  try {
    const url = `http://127.0.0.1:${server.address().port}/`;
    const page = await open(browser, { url });
    await useEverything(page);
    assert.deepEqual(page.requests.filter((u) => !u.startsWith('data:')), [url]);
    assert.deepEqual(asked, ['/']);
    assert.deepEqual(page.errors, []);
    await page.context().close();
  } finally {
    server.close();
  }
});

test('at 360 x 740: no sideways scrolling, every control seen and usable, no text under 12 px', async () => {
  const context = await browser.newContext({ viewport: { width: 360, height: 740 }, isMobile: true, hasTouch: true });
  const page = await context.newPage();
  await page.goto(pageUrl + '?clock=' + clockFor([[4, 2], [6, 5]]));
  await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
  const screens = [[null, 'BattlePanel'], ['HelpAction', 'HelpPanel'], ['ForHelpClose', 'BattlePanel'],
    ['AboutAction', 'AboutPanel'], ['ForAboutClose', 'BattlePanel'], ['GoCalcOfBattleChars', 'PCalcOfBattleChars']];
  for (const [button, screen] of screens) {
    if (button) await page.tap('#' + button);
    assert.deepEqual(await visibleScreens(page), [screen]);
    const report = await page.evaluate((id) => {
      const problems = [];
      const width = document.documentElement.clientWidth;
      if (document.documentElement.scrollWidth > width) problems.push('scrolls sideways: ' + document.documentElement.scrollWidth);
      const panel = document.getElementById(id);
      const control = /^(INPUT|BUTTON|A|TEXTAREA)$/;
      for (const el of panel.querySelectorAll('[id]')) {
        // A notice with nothing to say shows nothing.
        const empty = !el.textContent.trim() && !control.test(el.tagName) && !el.querySelector('input, button, textarea, a')
          && !el.matches('.picture, .group');
        if (empty) continue;
        const box = el.getBoundingClientRect();
        if (box.width === 0 || box.height === 0) { problems.push(el.id + ' has no size'); continue; }
        if (box.left < 0 || box.right > width + 0.5) problems.push(`${el.id} outside: ${box.left}..${box.right}`);
        if (control.test(el.tagName)) {
          window.scrollTo(0, window.scrollY + box.top - 100);
          const now = el.getBoundingClientRect();
          const hit = document.elementFromPoint(now.left + now.width / 2, now.top + now.height / 2);
          if (hit !== el && !el.contains(hit) && !(hit && hit.htmlFor === el.id) && !(hit && hit.contains(el)))
            problems.push(`${el.id} is covered by ${hit && (hit.id || hit.tagName)}`);
        }
      }
      for (const el of document.querySelectorAll('body *')) {
        if (!el.offsetParent || ![...el.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim())) continue;
        const size = parseFloat(getComputedStyle(el).fontSize);
        if (size < 12) problems.push(`${el.id || el.tagName} text of ${size}px`);
      }
      return problems;
    }, screen);
    assert.deepEqual(report, [], screen);
  }
  // Used by touch: a duel fought with taps.
  await page.tap('#GoBattlePanel');
  await fill(page, { BP2: '20', OgnOr1: '12', HolOr1: '1', StrZ1: '3', OgnOr2: '9', HolOr2: '1', StrZ2: '4' });
  await page.tap('#GoBattle');
  assert.equal((await read(page, ['InfoBM1'])).InfoBM1, '30 | 30(4) | 24(6) | 24;');
  await context.close();
});

test('2,000 random events keep the window\'s invariants', async () => {
  const rnd = random(424242);
  const readings = Array.from({ length: 400 }, () => String(Math.floor(rnd() * 2 ** 32)));
  const page = await open(browser, { query: '?clock=' + readings.join(',') });
  const texts = ['1', '2', '3', '6', '7', '0', '30', '12', '-5', '$1E', 'x', ' ', 'ё', '123456', '99999',
    '100', '5', '2856', '1234561234561234561234561234561234', 'abc'];
  const counts = {};
  for (let event = 0; event < 2000; ++event) {
    const state = await page.evaluate((messages) => {
      const screens = ['BattlePanel', 'PCalcOfBattleChars', 'HelpPanel', 'AboutPanel']
        .filter((id) => !document.getElementById(id).hidden);
      const over = [...document.querySelectorAll('input[maxlength]')]
        .filter((el) => el.value.length > el.maxLength).map((el) => el.id);
      const message = document.getElementById('ErrorText').textContent;
      const targets = [...document.querySelectorAll('#Form1 input, #Form1 button')]
        .filter((el) => el.offsetParent && !el.disabled && el.id !== 'DuelLink').map((el) => el.id);
      return {
        screens, over, messageOk: message === '' || messages.includes(message), message,
        modal: !document.getElementById('ModalLayer').hidden, targets,
      };
    }, facts.duelMessages);
    assert.equal(state.screens.length, 1, `event ${event}: ${state.screens}`);
    assert.deepEqual(state.over, [], `event ${event}`);
    assert.ok(state.messageOk, `event ${event}: ${state.message}`);
    if (state.modal) {
      const box = await modal(page);
      await page.click('#Modal' + (box.buttons.length === 2 ? rnd.pick(['Yes', 'No']) : 'Ok'));
      counts.modal = (counts.modal || 0) + 1;
      continue;
    }
    const target = '#' + rnd.pick(state.targets);
    const kind = rnd.int(0, 9);
    if (kind <= 4) {
      await page.click(target);
      counts.click = (counts.click || 0) + 1;
    } else if (kind <= 7) {
      await page.focus(target);
      await page.keyboard.insertText(rnd.pick(texts));
      counts.type = (counts.type || 0) + 1;
    } else if (kind === 8) {
      await page.focus(target);
      await page.keyboard.press(rnd.pick(['Backspace', 'Tab', 'Enter', ' ', 'Escape', 'Delete', 'Home']));
      counts.key = (counts.key || 0) + 1;
    } else {
      await page.focus(target);
      await page.keyboard.press('Control+A');
      await page.keyboard.press('Backspace');
      counts.clear = (counts.clear || 0) + 1;
    }
  }
  assert.deepEqual(page.errors, []);
  assert.ok(counts.modal > 10 && counts.click > 500, JSON.stringify(counts));
  await page.context().close();
});

// Each of the duel screen's outputs is made by its kind in the core's table
// (a log a growing text box, a message line a status line), has the fair
// check's field for it as posted, and shows what the duel button wrote.
test('the duel screen\'s outputs are made from the core\'s table of them', async () => {
  const page = await open(browser);
  const made = await page.evaluate((results) => results.map(({ name }) => {
    const element = document.getElementById(name);
    const posted = document.getElementById(`FairPosted${name}`);
    return [element.tagName, element.getAttribute('role'), posted.labels.length];
  }), facts.duelResults);
  assert.deepEqual(made, facts.duelResults.map(({ kind }) => (kind === 'log' ? ['TEXTAREA', null, 1] : ['DIV', 'status', 1])));
  await fill(page, pistolDuel);
  await page.click('#GoBattle');
  const shown = await read(page, facts.duelResults.map(({ name }) => name));
  assert.match(shown.InfoBM2, /;$/);
  // The command line names the same outputs in the same order.
  assert.deepEqual(Object.keys(shown), Object.keys(JSON.parse(cli(['duel', '--json'], pistolDuel))));
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

// The page's facts name every fixed text of the core (web/PageFacts.cpp lists
// them), so that the markup, the scripts and these tests can read each from
// core/Texts.h.
test('every text of the core reaches the page\'s facts under its name', () => {
  const header = fs.readFileSync(path.join(root, 'core', 'Texts.h'), 'utf8');
  const declared = [...header.matchAll(/(?:extern const|inline constexpr) char (k\w+)\[\]/g)].map((m) => m[1]);
  assert.ok(declared.length > 50, `${declared.length} texts read from core/Texts.h`);
  assert.deepEqual(Object.keys(facts.texts).sort(), declared.sort());
});

