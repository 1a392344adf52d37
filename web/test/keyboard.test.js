'use strict';
// The page with a keyboard and a screen reader: Tab goes through each screen
// as it is seen at every width, a screen just shown takes the focus and is
// announced by name, the odds are spoken once typing pauses and only what
// changed, Escape closes a box (a question's answer «Нет»), a transfer says
// what it carried, and help explains the move logs' notation.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { launch, open, read, typeInto, press, modal, pistolDuel, facts, text, textWith } = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const sizes = [['1280 pixels', { viewport: { width: 1280, height: 900 } }, false],
  ['360 pixels', { viewport: { width: 360, height: 740 }, options: { hasTouch: true, isMobile: true } }, true]];
const focused = (page) => page.evaluate(() => document.activeElement.id);

// The controls Tab reaches from where the focus is, `count` of them.
async function tabs(page, count) {
  const stops = [];
  for (let i = 0; i < count; ++i) {
    await page.keyboard.press('Tab');
    stops.push(await focused(page));
  }
  return stops;
}

// Each screen's keyboard order as it is seen: the heading row's buttons,
// each duellist's fields top to bottom, then the duel type, the duel button,
// the logs and the exit; the calculator's the same way.
const duelScreen = ['GoCalcOfBattleChars', 'AboutAction', 'HelpAction',
  ...[1, 2].flatMap((d) => [`BP${d}`, `OgnOr${d}`, `HolOr${d}`, `StrZ${d}`, `StrSt${d}1`, `StrSt${d}2`, `StrSt${d}3`,
    `StrSt${d}4`, `ShAtack${d}`, d === 1 ? 'GenShAttack1' : 'GenShAtack2']),
  'TypeBattle1', 'GoBattle', 'InfoBM1', 'InfoBM2', 'GoExit'];
const calculator = ['SumPostsBM1', 'SumRBM1', 'ChM11', 'ChM12', 'ChM13', 'ChM14', 'ChM15',
  'SumPostsBM2', 'SumRBM2', 'ChM21', 'ChM22', 'ChM23', 'ChM24', 'ChM25', 'CalcOfBattleChars', 'MoveCarsOfBattlePanel',
  'GoBattlePanel'];

describe('Tab follows each screen as it is seen', () => {
  for (const [what, size, finger] of sizes) {
    test(`at ${what}; a screen just shown has the focus on its heading and is announced`, async () => {
      const page = await open(browser, size);
      // From the top of the page: the duel screen, then its extras.
      const order = await tabs(page, duelScreen.length + 1);
      assert.deepEqual(order.slice(0, -1), duelScreen);
      assert.ok(await page.evaluate(() => document.activeElement.closest('#DuelExtras') !== null), order.at(-1));
      // Each stop is seen below the one before or beside it to the right,
      // within a duellist's group and outside it.
      const boxes = await page.evaluate((ids) => ids.map((id) => {
        const el = id.startsWith('TypeBattle') ? document.getElementById(id + '-box') : document.getElementById(id);
        const box = el.getBoundingClientRect();
        return { id, top: box.top + scrollY, left: box.left, group: el.closest('fieldset') && el.closest('fieldset').id };
      }), duelScreen);
      for (let i = 1; i < boxes.length; ++i) {
        const [a, b] = [boxes[i - 1], boxes[i]];
        const sameGroup = a.group && a.group === b.group;
        const onward = b.top > a.top + 1 || (Math.abs(b.top - a.top) <= 12 && b.left > a.left);
        // Duellist 2's group stands beside duellist 1's from 760 pixels.
        const nextGroup = a.group !== b.group && b.group === 'BattleMan2' && a.group === 'BattleMan1';
        assert.ok(onward || (nextGroup && !finger && b.left > a.left), `${what}: ${a.id} then ${b.id}`);
        if (sameGroup) assert.ok(onward, `${what}: ${a.id} then ${b.id}`);
      }

      // [the button that shows the screen, the screen, its heading's text, its keyboard order]
      const screens = [
        ['GoCalcOfBattleChars', 'PCalcOfBattleChars', null, calculator],
        ['GoBattlePanel', 'BattlePanel', null, duelScreen.slice(0, 3)],
        ['HelpAction', 'HelpPanel', text('kHelpScreenHeading'), ['ForHelpClose']],
        ['ForHelpClose', 'BattlePanel', null, duelScreen.slice(0, 3)],
        ['AboutAction', 'AboutPanel', text('kAboutScreenHeading'), ['Lanternhall', 'ForAboutClose']],
        ['ForAboutClose', 'BattlePanel', null, duelScreen.slice(0, 3)],
      ];
      for (const [button, screen, name, order] of screens) {
        // Reached by the keyboard where the button has the focus, else tapped.
        if (finger) await press(page, button, { finger });
        else {
          await page.focus('#' + button);
          await page.keyboard.press('Enter');
        }
        const now = await page.evaluate((id) => {
          const el = document.activeElement;
          return { tag: el.tagName, inScreen: el.closest('section') && el.closest('section').id === id, text: el.textContent,
            spoken: document.getElementById('ScreenSpoken').textContent, label: document.getElementById(id).getAttribute('aria-labelledby') };
        }, screen);
        assert.equal(now.tag, 'H2', `${button}: the focus on the screen's heading`);
        assert.equal(now.inScreen, true, button);
        if (name) assert.equal(now.text, name);
        assert.equal(now.spoken, now.text, `${button}: the screen's name is announced`);
        assert.equal(await page.evaluate((id) => document.getElementById(id).textContent, now.label), now.text);
        assert.deepEqual(await tabs(page, order.length), order, `${what}: ${screen}`);
      }
      assert.deepEqual(page.errors, []);
      await page.context().close();
    });
  }
});

describe('Escape closes a box', () => {
  test('the message box as OK, the question as «Нет»; the focus goes back', async () => {
    const page = await open(browser);
    await press(page, 'GoCalcOfBattleChars');
    await page.focus('#CalcOfBattleChars');
    await page.keyboard.press('Enter');
    assert.equal((await modal(page)).text, text('kForumInputError'));
    await page.keyboard.press('Escape');
    assert.equal(await modal(page), null);
    assert.equal(await focused(page), 'SumPostsBM1', 'the refused field');
    await typeInto(page, { SumPostsBM1: '250', SumRBM1: '30', SumPostsBM2: '50', SumRBM2: '2' });
    await press(page, 'CalcOfBattleChars');
    const before = await read(page, ['OgnOr1', 'HolOr1', 'StrZ1']);
    await page.focus('#MoveCarsOfBattlePanel');
    await page.keyboard.press('Enter');
    assert.equal((await modal(page)).text, text('kTransferQuestion'));
    await page.keyboard.press('Escape');
    assert.equal(await modal(page), null);
    assert.deepEqual(await read(page, ['OgnOr1', 'HolOr1', 'StrZ1']), before, '«Нет» keeps the duel screen');
    assert.equal(await focused(page), 'MoveCarsOfBattlePanel');
    assert.equal(await page.textContent('#TransferStatus'), '');
    await page.context().close();
  });
});

describe('a transfer says what it carried', () => {
  for (const [what, size, finger] of sizes) {
    test(`at ${what}: the status line names each duellist's three results, seen beside the button`, async () => {
      const page = await open(browser, size);
      await press(page, 'GoCalcOfBattleChars', { finger });
      await typeInto(page, { SumPostsBM1: '250', SumRBM1: '30', SumPostsBM2: '50', SumRBM2: '2' }, { finger });
      await press(page, 'CalcOfBattleChars', { finger });
      await press(page, 'MoveCarsOfBattlePanel', { finger });
      await press(page, 'ModalYes', { finger });
      const results = await read(page, ['FOgnOr1', 'FHolOr1', 'FStrZ1', 'FOgnOr2', 'FHolOr2', 'FStrZ2']);
      const notice = textWith('kTransferDone', results.FOgnOr1, results.FHolOr1, results.FStrZ1, results.FOgnOr2,
        results.FHolOr2, results.FStrZ2);
      assert.equal(await page.textContent('#TransferStatus'), notice);
      assert.equal(await page.getAttribute('#TransferStatus', 'role'), 'status');
      // Seen below the transfer's button, in view, covered by nothing.
      const place = await page.evaluate(() => {
        const status = document.getElementById('TransferStatus').getBoundingClientRect();
        const button = document.getElementById('MoveCarsOfBattlePanel').getBoundingClientRect();
        const hit = document.elementFromPoint(status.left + 5, status.top + status.height / 2);
        return { below: status.top >= button.bottom, inView: status.top >= 0 && status.bottom <= innerHeight,
          tall: status.height > 10, own: hit !== null && hit.id === 'TransferStatus' };
      });
      assert.deepEqual(place, { below: true, inView: true, tall: true, own: true });
      assert.deepEqual(await read(page, ['OgnOr1', 'HolOr1', 'StrZ1', 'OgnOr2', 'HolOr2', 'StrZ2']),
        { OgnOr1: results.FOgnOr1, HolOr1: results.FHolOr1, StrZ1: results.FStrZ1, OgnOr2: results.FOgnOr2,
          HolOr2: results.FHolOr2, StrZ2: results.FStrZ2 });
      // A new calculation takes the notice away.
      await press(page, 'CalcOfBattleChars', { finger });
      assert.equal(await page.textContent('#TransferStatus'), '');
      await page.context().close();
    });
  }
});

describe('the odds are spoken once typing pauses, only what changed', () => {
  // Every text the odds' live region is given, counted by the page itself.
  const listen = (page) => page.evaluate(() => {
    window.spokenOdds = [];
    const region = document.getElementById('OddsSpoken');
    new MutationObserver(() => window.spokenOdds.push(region.textContent))
      .observe(region, { childList: true, characterData: true, subtree: true });
  });
  const spoken = (page) => page.evaluate(() => window.spokenOdds);
  // Types into each field key by key, as fast as a person types.
  async function typeKeys(page, texts) {
    for (const [id, keys] of Object.entries(texts)) {
      await page.click('#' + id);
      await page.keyboard.press('Control+A');
      await page.keyboard.press('Backspace');
      await page.keyboard.type(keys, { delay: 120 });
    }
  }
  // The figures and the summary as the page shows them.
  const showing = (page) => page.evaluate((controls) => Object.fromEntries(
    [...controls, 'OddsSummary'].map((id) => [id, document.getElementById(id).textContent])), facts.oddsFigures.map((f) => f.control));
  // What an announcement must say after `before` when the page shows `now`:
  // the figures that changed, each with its caption, and the summary if it
  // changed.
  const changes = (before, now) => [
    ...facts.oddsFigures.filter(({ control }) => !before || before[control] !== now[control])
      .map(({ control, label }) => `${label} ${now[control]}`),
    ...(!before || before.OddsSummary !== now.OddsSummary ? [now.OddsSummary] : []),
  ].join('; ');

  test('fifteen keys into five fields: one announcement; fields a pause apart: one each; a refusal said once', async () => {
    const page = await open(browser);
    await typeInto(page, pistolDuel);
    await page.waitForTimeout(2000);
    await listen(page);
    let before = await showing(page);
    // Fifteen keys, five fields, no pause longer than a key's: one
    // announcement, after the pause, naming only what changed.
    await typeKeys(page, { BP1: '444', OgnOr1: '111', HolOr1: '222', BP2: '333', OgnOr2: '100' });
    assert.deepEqual(await spoken(page), [], 'nothing while typing');
    await page.waitForTimeout(2000);
    let now = await showing(page);
    assert.deepEqual(await spoken(page), [changes(before, now)]);
    // The cold-weapon points change no pistol duel's odds: nothing to say.
    await typeKeys(page, { HolOr1: '7' });
    await page.waitForTimeout(2000);
    assert.equal((await spoken(page)).length, 1, 'nothing changed, nothing said');

    // Fields a pause apart: one announcement each, of what changed.
    const expected = [changes(before, now)];
    for (const [id, keys] of [['BP1', '50'], ['BP2', '60']]) {
      before = now;
      await typeKeys(page, { [id]: keys });
      await page.waitForTimeout(1800);
      now = await showing(page);
      expected.push(changes(before, now));
    }
    assert.deepEqual(await spoken(page), expected);
    assert.ok(expected[2].split('; ').length < facts.oddsFigures.length + 1, `not everything: ${expected[2]}`);

    // A refusal is said once while it stays the same.
    await typeKeys(page, { StrZ1: '' });
    await page.waitForTimeout(1800);
    await typeKeys(page, { OgnOr1: '5', BP2: '7' });
    await page.waitForTimeout(1800);
    expected.push(text('kInputError'));
    assert.deepEqual(await spoken(page), expected);
    // The request accepted again: every figure and the summary, for none
    // was said since the refusal.
    await typeKeys(page, { StrZ1: '3' });
    await page.waitForTimeout(1800);
    expected.push(changes(null, await showing(page)));
    assert.deepEqual(await spoken(page), expected);
    await page.context().close();
  });
});

describe('help explains the move logs', () => {
  for (const [what, size, finger] of sizes) {
    test(`at ${what}: the notation in text under the help picture`, async () => {
      const page = await open(browser, size);
      await press(page, 'HelpAction', { finger });
      const shown = await page.evaluate(() => {
        const extras = document.getElementById('HelpExtras');
        const box = extras.getBoundingClientRect();
        const picture = document.getElementById('HelpRus').getBoundingClientRect();
        return { text: extras.innerText, below: box.top >= picture.bottom - 1, width: box.width,
          size: parseFloat(getComputedStyle(extras.querySelector('p')).fontSize) };
      });
      for (const name of ['kHelpLogsHeading', 'kHelpLogsStart', 'kHelpLogsShot', 'kHelpLogsStrike', 'kHelpLogsEnd'])
        assert.ok(shown.text.includes(text(name)), name);
      assert.ok(shown.below && shown.width > 300 && shown.size >= 13, JSON.stringify(shown));
      await press(page, 'ForHelpClose', { finger });
      assert.equal(await page.isVisible('#HelpExtras'), false);
      await page.context().close();
    });
  }
});
