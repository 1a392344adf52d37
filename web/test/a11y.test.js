'use strict';
// The page for a screen reader and a keyboard: axe-core finds nothing on any
// screen, with the fair duel's panel, each dialog and every notice showing,
// at 1280 and 360 pixels; every control is named and described as the
// window's stored layout says; the dialogs hold the focus and give it back;
// the result of a duel is spoken; a refusal marks the field it concerns; and
// a browser that cannot run the core gets one clear message.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const {
  launch, open, read, fill, typeInto, setType, modal, storedLayout, facts, axeViolations, accessibilityNode, clockFor, cliFairDuel,
  cliFairDuelSalted, playerCommitment, pistolDuel, pageUrl, cli, text } = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

describe('axe-core finds no violation', () => {
  let fair;
  let salted;
  before(() => {
    fair = cliFairDuel('ab'.repeat(32), '1523', '1524');
    salted = cliFairDuelSalted('ab'.repeat(32), '1523', 'cd'.repeat(32), '1524', 'ef'.repeat(32));
  });
  const settled = (page) => page.evaluate(() => window.Saberline.settled());
  // Opens a duel's verification link, types what was posted and checks it:
  // the verdict.
  async function checked(page, duel, posted) {
    await page.goto(pageUrl + '#fair:' + duel.verification);
    await page.waitForFunction(() => document.getElementById('FairCheckCommitment').textContent !== '');
    await fill(page, posted);
    await page.click('#FairCheckButton');
    return page.textContent('#FairVerdict');
  }
  // [what, how the page is opened, what is done on it]
  const states = [
    ['the duel screen at start-up, the odds\' refusal showing', {}, async () => {}],
    ['a refused duel: the message line and the marked field', {}, async (page) => { await page.click('#GoBattle'); }],
    ['a fought duel: logs, link, copy buttons, the note about a link from disk', { query: '?clock=16,31' },
      async (page) => { await fill(page, pistolDuel); await page.click('#GoBattle'); }],
    ['an opened duel link: the replay mark', { query: '?clock=16,31' }, async (page) => {
      await fill(page, pistolDuel);
      await page.click('#GoBattle');
      await fill(page, { PastedLink: await page.inputValue('#DuelLink') });
      await page.click('#OpenPastedLink');
    }],
    ['a damaged duel link and a bad ?clock= list: the notices', { query: '?clock=x', fragment: '#duel=1&x' }, async () => {}],
    ['the calculator screen', {}, async (page) => { await page.click('#GoCalcOfBattleChars'); }],
    ['the help screen', {}, async (page) => { await page.click('#HelpAction'); }],
    ['the about screen', {}, async (page) => { await page.click('#AboutAction'); }],
    ['the message dialog', {}, async (page) => {
      await page.click('#GoCalcOfBattleChars');
      await page.click('#CalcOfBattleChars');
    }],
    ['the error box', {}, async (page) => {
      await page.click('#GoCalcOfBattleChars');
      await page.evaluate(() => {
        for (const id of ['FOgnOr1', 'FOgnOr2', 'FHolOr1']) document.getElementById(id).value = '5';
        document.getElementById('FHolOr2').value = ' 7 ';
      });
      await page.click('#MoveCarsOfBattlePanel');
    }],
    ['the transfer done: its status line', {}, async (page) => {
      await page.click('#GoCalcOfBattleChars');
      await typeInto(page, { SumPostsBM1: '250', SumRBM1: '30', SumPostsBM2: '50', SumRBM2: '2' });
      await page.click('#CalcOfBattleChars');
      await page.click('#MoveCarsOfBattlePanel');
      await page.click('#ModalYes');
      assert.notEqual(await page.textContent('#TransferStatus'), '');
    }],
    ['the odds drawn, spoken, and a 100-move duel\'s logs grown', { query: '?clock=' + clockFor([[1, 1]]) }, async (page) => {
      await typeInto(page, { BP1: '9999', OgnOr1: '1', HolOr1: '1', StrZ1: '7', BP2: '9999', OgnOr2: '1', HolOr2: '1', StrZ2: '7' });
      await page.click('#GoBattle');
      await page.waitForFunction(() => document.getElementById('OddsSpoken').textContent !== '', null, { timeout: 3000 });
      assert.equal(await page.isVisible('#OddsPicture'), true);
    }],
    ['the question', {}, async (page) => {
      await page.click('#GoCalcOfBattleChars');
      await fill(page, { SumPostsBM1: '250', SumRBM1: '30', SumPostsBM2: '50', SumRBM2: '2' });
      await page.click('#CalcOfBattleChars');
      await page.click('#MoveCarsOfBattlePanel');
    }],
    ['the fair duel: a commitment refused, one made, a refusal of the fight', {}, async (page) => {
      await page.click('#FairCommit');
      await page.waitForFunction(() => document.getElementById('FairCommitMessage').textContent !== '');
      await fill(page, pistolDuel);
      await page.click('#FairCommit');
      await page.waitForFunction(() => document.getElementById('FairCommitment').value !== '');
      await page.click('#FairBattle');
      await page.waitForFunction(() => document.getElementById('FairMessage').textContent !== '');
    }],
    ['the fair duel: the secret checked, then the commitment withdrawn', {}, async (page) => {
      await fill(page, pistolDuel);
      await page.click('#FairCommit');
      await settled(page);
      await page.click('#FairCheckSecret');
      await settled(page);
      assert.equal(await page.textContent('#FairSecretVerdict'), text('kFairSecretOpens'));
      await page.fill('#BP2', '21');
      assert.equal(await page.textContent('#FairCommitMessage'), text('kFairCommitmentWithdrawn'));
    }],
    ['the fair duel: a verification link checked', {}, async (page) => {
      assert.ok((await checked(page, fair, { FairPostedCommitment: fair.commitment, FairPostedInfoBM1: fair.InfoBM1,
        FairPostedInfoBM2: fair.InfoBM2, FairPostedErrorText: fair.ErrorText })).startsWith(text('kFairVerified')));
    }],
    ['the fair duel: all commitments made, salts given, the duel fought, a player\'s own word refused', {}, async (page) => {
      await fill(page, pistolDuel);
      await page.click('#FairCommit');
      await settled(page);
      await page.click('#FairPlayerCommit');
      await settled(page);
      await fill(page, { FairWord1: '1523', FairWord2: '1524', FairSalt1: 'cd'.repeat(32),
        FairCommitment1: playerCommitment('cd'.repeat(32), '1523'), FairSalt2: 'ef'.repeat(32),
        FairCommitment2: playerCommitment('ef'.repeat(32), '1524') });
      await page.click('#FairBattle');
      await settled(page);
      await page.click('#FairOwnWord');
      await fill(page, { FairPlayerWord: '015' });
      await page.click('#FairPlayerCommit');
      await settled(page);
      assert.notEqual(await page.inputValue('#FairLink'), '');
      assert.notEqual(await page.textContent('#FairPlayerMessage'), '');
    }],
    ['the fair duel: plain words, the note about them', {}, async (page) => {
      await fill(page, { ...pistolDuel, FairSecret: 'ab'.repeat(32), FairCommitment: fair.commitment, FairWord1: '1523',
        FairWord2: '1524' });
      await page.click('#FairBattle');
      await settled(page);
      assert.equal(await page.textContent('#FairNote'), text('kFairPlainWordsNote'));
    }],
    ['the fair duel: edited after the duel', {}, async (page) => {
      await fill(page, { ...pistolDuel, FairSecret: 'ab'.repeat(32), FairCommitment: fair.commitment, FairWord1: '1523',
        FairWord2: '1524' });
      await page.click('#FairBattle');
      await settled(page);
      await page.fill('#BP1', '31');
      assert.equal(await page.textContent('#FairMessage'), text('kFairEditedAfterDuel'));
    }],
    ['the fair duel: the question before a secret is lost', {}, async (page) => {
      await fill(page, pistolDuel);
      await page.click('#FairCommit');
      await settled(page);
      await page.click('#GoExit');
      assert.equal((await modal(page)).buttons.length, 2);
    }],
    ['the fair duel: a link with salts checked, players\' commitments pasted, pasted logs cleaned', {}, async (page) => {
      assert.ok((await checked(page, salted, { FairPostedCommitment: salted.commitment,
        FairPostedCommitment1: salted.commitment1, FairPostedCommitment2: salted.commitment2,
        FairPostedInfoBM1: 'Ходы бойца №1: ' + salted.InfoBM1, FairPostedInfoBM2: salted.InfoBM2,
        FairPostedErrorText: salted.ErrorText })).startsWith(text('kFairVerified')));
      assert.notEqual(await page.textContent('#FairCheckNote'), '');
    }],
    ['the fair duel: edited after a check that did not verify', {}, async (page) => {
      assert.ok((await checked(page, salted, { FairPostedCommitment: salted.commitment,
        FairPostedCommitment1: salted.commitment2, FairPostedInfoBM1: salted.InfoBM1, FairPostedInfoBM2: salted.InfoBM2 })).startsWith(text('kFairNotVerified')));
      await page.fill('#FairPostedCommitment1', '');
      assert.equal(await page.textContent('#FairVerdict'), text('kFairEditedAfterCheck'));
    }],
  ];
  for (const width of [1280, 360]) {
    for (const [what, how, act] of states) {
      test(`at ${width} pixels: ${what}`, async () => {
        const page = await open(browser, { ...how, viewport: { width, height: width > 760 ? 900 : 740 },
          options: { bypassCSP: true, hasTouch: width < 760 } });
        await act(page);
        assert.deepEqual(await axeViolations(page), []);
        assert.deepEqual(page.errors, []);
        await page.context().close();
      });
    }
  }
});

describe('names, descriptions and landmarks', () => {
  test('every control is named and described as the window\'s stored layout says', async () => {
    const layout = storedLayout();
    const byName = Object.fromEntries(layout.map((c) => [c.name, c]));
    const page = await open(browser);
    const entries = { PCalcOfBattleChars: 'GoCalcOfBattleChars', HelpPanel: 'HelpAction', AboutPanel: 'AboutAction' };
    const closes = { PCalcOfBattleChars: 'GoBattlePanel', HelpPanel: 'ForHelpClose', AboutPanel: 'ForAboutClose' };
    let checked = 0;
    for (const panel of ['BattlePanel', 'PCalcOfBattleChars', 'HelpPanel', 'AboutPanel']) {
      if (entries[panel]) await page.click('#' + entries[panel]);
      for (const c of layout.filter((w) => w.panel === panel)) {
        if (c.cls === 'QGroupBox') {
          assert.deepEqual(await accessibilityNode(page, c.name).then(({ role, name }) => ({ role, name })),
            { role: 'group', name: c.title }, c.name);
          continue;
        }
        if (!/^(QLineEdit|QCheckBox|QRadioButton|QPushButton)$/.test(c.cls)) continue;
        // A caption label T<name> names its control as it reads; else the
        // stored name; else the control's own caption.
        const caption = byName['T' + c.name];
        const name = caption && caption.cls === 'QLabel' ? caption.text : c.accessibleName || c.text;
        const note = byName['NBof' + c.name];
        const description = [note && note.text, c.accessibleDescription].filter(Boolean).join(' ');
        const node = await accessibilityNode(page, c.name);
        assert.equal(node.name, name, c.name);
        assert.equal(node.description, description, c.name);
        checked += 1;
      }
      if (closes[panel]) await page.click('#' + closes[panel]);
    }
    assert.equal(checked, 55);  // as the window: 30 fields, 10 black marks, 3 duel types, 12 buttons
    await page.context().close();
  });

  test('every control of the fair duel\'s panel is named by its caption, and the copy buttons of what is kept ' +
    'secret by their warning', async () => {
    const salted = cliFairDuelSalted('ab'.repeat(32), '1', 'cd'.repeat(32), '2', 'ef'.repeat(32));
    // The panel with a fair duel fought with both players' commitments and
    // a word of one's own asked for, and with a verification link opened.
    const referee = await open(browser);
    await referee.click('#FairOwnWord');
    await fill(referee, { ...pistolDuel, FairSecret: 'ab'.repeat(32), FairCommitment: salted.commitment, FairWord1: '1',
      FairWord2: '2', FairSalt1: 'cd'.repeat(32), FairCommitment1: salted.commitment1, FairSalt2: 'ef'.repeat(32),
      FairCommitment2: salted.commitment2 });
    await referee.click('#FairBattle');
    await referee.evaluate(() => window.Saberline.settled());
    const checker = await open(browser, { url: pageUrl + '#fair:' + salted.verification });
    const named = new Set();
    let all;
    for (const page of [referee, checker]) {
      const controls = await page.evaluate(() => [...document.querySelectorAll('#FairDuel input, #FairDuel button, #FairDuel output')]
        .map((el) => ({ id: el.id, shown: el.getClientRects().length > 0,
          label: el.labels && el.labels.length ? el.labels[0].textContent.replace(/\s+/g, ' ').trim() : null,
          aria: el.getAttribute('aria-label'), text: el.tagName === 'BUTTON' ? el.textContent.replace(/\s+/g, ' ').trim() : null })));
      all = controls.map((c) => c.id);
      for (const c of controls.filter((control) => control.shown)) {
        // The check's outputs stand beside their captions, as read-only text.
        if (/^FairCheck(Commitment\d?|Words)$/.test(c.id)) continue;
        const node = await accessibilityNode(page, c.id);
        assert.ok(node.name, c.id);
        assert.equal(node.name, c.label || c.aria || c.text, c.id);
        named.add(c.id);
      }
    }
    assert.deepEqual(all.filter((id) => !named.has(id) && !/^FairCheck(Commitment\d?|Words)$/.test(id)), []);
    for (const [button, warning] of [['FairCopySecret', 'FairSecretWarning'], ['FairCopyPlayerWord', 'FairPlayerWarning'],
      ['FairCopyPlayerSalt', 'FairPlayerWarning'], ['FairPlayerWord', 'FairOwnWordWarning']]) {
      assert.equal((await accessibilityNode(referee, button)).description, await referee.evaluate((id) =>
        document.getElementById(id).textContent.replace(/\s+/g, ' ').trim(), warning), button);
    }
    await referee.context().close();
    await checker.context().close();
  });

  test('the fields a user types into say what they take', async () => {
    const typed = storedLayout().filter((c) => c.cls === 'QLineEdit' && c.enabled && !c.name.startsWith('InfoBM'));
    assert.equal(typed.length, 22);
    for (const c of typed) assert.ok(c.accessibleDescription, c.name);
  });

  test('the help picture\'s content is text: shown on a phone, spoken at every width', async () => {
    const help = storedLayout().find((c) => c.name === 'HelpRus');
    for (const [width, shown] of [[360, true], [1280, false]]) {
      const page = await open(browser, { viewport: { width, height: 740 } });
      await page.click('#HelpAction');
      const text = await page.evaluate(() => {
        const el = document.getElementById('HelpRus-text');
        const box = el.getBoundingClientRect();
        return { text: el.textContent, width: box.width, size: parseFloat(getComputedStyle(el).fontSize) };
      });
      assert.equal(text.text, help.accessibleDescription);
      assert.equal(text.width > 300, shown, `${width}: ${text.width}`);
      if (shown) assert.ok(text.size >= 12);
      assert.equal((await accessibilityNode(page, 'HelpRus-text')).ignored, false);
      await page.context().close();
    }
  });

  test('one main landmark, one level-one heading, no positive tabindex', async () => {
    const page = await open(browser);
    const found = await page.evaluate(() => ({
      main: document.querySelectorAll('main').length,
      h1: [...document.querySelectorAll('h1')].map((h) => h.textContent),
      formInMain: !!document.querySelector('main #Form1'),
      tabindex: [...document.querySelectorAll('[tabindex]')].filter((el) => el.tabIndex > 0).map((el) => el.id),
    }));
    assert.deepEqual(found, { main: 1, h1: ['Saberline 2.0'], formInMain: true, tabindex: [] });
    await page.context().close();
  });
});

test('the keyboard goes through the fair duel\'s panel in the order it is read, reaching every control', async () => {
  const salted = cliFairDuelSalted('ab'.repeat(32), '1', 'cd'.repeat(32), '2', '');
  for (const width of [1280, 360]) {
    const viewport = { width, height: 800 };
    // Every control enabled: a fair duel fought, a player's commitment to a
    // word of their own made; then a verification link opened.
    const referee = await open(browser, { viewport });
    await referee.click('#FairOwnWord');
    await fill(referee, { ...pistolDuel, FairSecret: 'ab'.repeat(32), FairCommitment: salted.commitment, FairWord1: '1',
      FairWord2: '2', FairPlayerWord: '15' });
    for (const button of ['FairBattle', 'FairPlayerCommit']) {
      await referee.click('#' + button);
      await referee.evaluate(() => window.Saberline.settled());
    }
    const checker = await open(browser, { url: pageUrl + '#fair:' + salted.verification, viewport });
    for (const [page, first] of [[referee, 'FairCommit'], [checker, 'FairPostedCommitment']]) {
      await page.focus('#' + first);
      const stops = [];
      for (;;) {
        const stop = await page.evaluate(() => {
          const el = document.activeElement;
          const box = el.getBoundingClientRect();
          return { id: el.id, inPanel: !!el.closest('#FairDuel'), top: box.top + scrollY, left: box.left };
        });
        if (!stop.inPanel) break;
        stops.push(stop);
        await page.keyboard.press('Tab');
      }
      // Each stop below the one before, or beside it on the same row.
      for (let i = 1; i < stops.length; ++i) {
        const [a, b] = [stops[i - 1], stops[i]];
        assert.ok(b.top > a.top + 1 || (Math.abs(b.top - a.top) <= 12 && b.left > a.left), `${width}: ${a.id} then ${b.id}`);
      }
      const reachable = await page.evaluate(() => [...document.querySelectorAll('#FairDuel input, #FairDuel button')]
        .filter((el) => !el.disabled && el.getClientRects().length > 0).map((el) => el.id));
      assert.deepEqual(stops.map((s) => s.id), reachable, String(width));
    }
    await referee.context().close();
    await checker.context().close();
  }
});

describe('dialogs', () => {
  test('the question: a modal dialog that holds the focus and gives it back', async () => {
    const page = await open(browser);
    await page.click('#GoCalcOfBattleChars');
    await fill(page, { SumPostsBM1: '250', SumRBM1: '30', SumPostsBM2: '50', SumRBM2: '2' });
    await page.click('#CalcOfBattleChars');
    await page.focus('#MoveCarsOfBattlePanel');
    await page.keyboard.press('Enter');
    const box = await accessibilityNode(page, 'ModalBox');
    assert.deepEqual({ role: box.role, name: box.name, modal: box.properties.modal },
      { role: 'dialog', name: text('kTransferQuestionTitle'), modal: true });
    const focused = async () => page.evaluate(() => document.activeElement.id);
    assert.equal(await focused(), 'ModalYes');
    const tabs = [];
    for (const key of ['Tab', 'Tab', 'Tab', 'Shift+Tab', 'Shift+Tab']) {
      await page.keyboard.press(key);
      tabs.push(await focused());
    }
    assert.deepEqual(tabs, ['ModalNo', 'ModalYes', 'ModalNo', 'ModalYes', 'ModalNo']);
    await page.keyboard.press('Enter');  // «Нет»
    assert.equal(await modal(page), null);
    assert.equal(await focused(), 'MoveCarsOfBattlePanel');
    await page.context().close();
  });

  test('the message dialog keeps the focus on OK, then gives it to the refused field', async () => {
    const page = await open(browser);
    await page.click('#GoCalcOfBattleChars');
    // [forum fields, the field the refusal concerns]
    const cases = [
      [{ SumPostsBM1: '0' }, 'SumPostsBM1'],
      [{ SumPostsBM1: '10', SumRBM1: 'x', SumPostsBM2: '' }, 'SumPostsBM2'],
      [{ SumPostsBM1: '10', SumRBM1: '-1', SumPostsBM2: '10', SumRBM2: '3' }, 'SumRBM1'],
    ];
    for (const [fields, refused] of cases) {
      await fill(page, fields);
      await page.focus('#CalcOfBattleChars');
      await page.keyboard.press('Enter');
      assert.equal((await accessibilityNode(page, 'ModalBox')).properties.modal, true);
      await page.keyboard.press('Tab');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'ModalOk');
      await page.keyboard.press('Enter');
      const marked = await page.evaluate(() => ({
        focused: document.activeElement.id,
        invalid: [...document.querySelectorAll('[aria-invalid="true"]')].map((el) => el.id),
      }));
      assert.deepEqual(marked, { focused: refused, invalid: [refused] }, JSON.stringify(fields));
    }
    await page.context().close();
  });
});

describe('the result and refusals, for a screen reader', () => {
  // Every text the polite live regions hold.
  const spoken = (page) => page.evaluate(() => [...document.querySelectorAll('[aria-live="polite"], [role="status"]')]
    .map((el) => el.textContent).join('\n'));

  test('a duel\'s logs and message and, once typing pauses, the odds are in polite live regions', async () => {
    const page = await open(browser, { query: '?clock=' + clockFor([[1, 1]]) });
    await typeInto(page, { BP1: '30', OgnOr1: '1', HolOr1: '1', StrZ1: '0', BP2: '30', OgnOr2: '1', HolOr2: '1', StrZ2: '0' });
    await page.click('#GoBattle');
    const shown = await read(page, ['InfoBM1', 'InfoBM2', 'ErrorText', 'OddsDuellist1']);
    const text = await spoken(page);
    for (const id of ['InfoBM1', 'InfoBM2', 'ErrorText']) assert.ok(shown[id] && text.includes(shown[id]), id);
    assert.equal((await accessibilityNode(page, 'ErrorText')).properties.live, 'polite');
    // The figures themselves are not a live region: their changes are
    // spoken by one, about a second after the last.
    assert.equal((await accessibilityNode(page, 'Odds')).properties.live, undefined);
    assert.equal((await accessibilityNode(page, 'OddsSpoken')).properties.live, 'polite');
    await page.waitForFunction(() => document.getElementById('OddsSpoken').textContent !== '', null, { timeout: 3000 });
    assert.ok((await page.textContent('#OddsSpoken')).includes(`${facts.oddsFigures[0].label} ${shown.OddsDuellist1}`));
    await page.context().close();
  });

  // [duel type, fields, the field marked]
  const refusals = [
    [1, {}, 'OgnOr1'],
    [1, { ...pistolDuel, StrSt24: 'x' }, 'StrSt24'],
    [2, { ...pistolDuel, StrSt11: '1', StrSt12: '2', StrSt13: '3', StrSt21: '4', StrSt22: '5', StrSt23: '4' }, 'StrSt23'],
    [2, { ...pistolDuel, StrSt11: '1', StrSt12: '2', StrSt13: '3', StrSt14: '4', StrSt21: '4', StrSt22: '5', StrSt23: '6' }, 'StrZ1'],
    [3, { ...pistolDuel, StrSt11: '1', StrSt12: '2', StrSt13: '3', StrSt21: '4', StrSt22: '5', StrSt23: '6', ShAtack1: '12', ShAtack2: '7' }, 'ShAtack2'],
  ];
  test('a refusal keeps the window\'s message and marks its field: aria-invalid, an outline, the focus', async () => {
    const page = await open(browser);
    for (const [type, fields, field] of refusals) {
      await page.click('#GoExit');
      await fill(page, fields);
      await setType(page, type);
      await page.click('#GoBattle');
      const marked = await page.evaluate(() => {
        const el = document.activeElement;
        const style = getComputedStyle(el);
        return {
          message: document.getElementById('ErrorText').textContent,
          focused: el.id, outline: `${style.outlineStyle} ${style.outlineWidth}`,
          invalid: [...document.querySelectorAll('[aria-invalid="true"]')].map((e) => e.id),
        };
      });
      assert.match(marked.message, /^Внимание!/, field);
      assert.deepEqual({ focused: marked.focused, invalid: marked.invalid, outline: marked.outline },
        { focused: field, invalid: [field], outline: 'solid 2px' });
      assert.equal((await accessibilityNode(page, field)).properties.invalid, 'true');
      // The mark goes as soon as the field is changed.
      await page.keyboard.press('Control+A');
      await page.keyboard.type('1');
      assert.deepEqual(await page.evaluate(() => document.querySelectorAll('[aria-invalid]').length), 0, field);
    }
    // An accepted duel marks nothing and leaves the focus on the button.
    await fill(page, pistolDuel);
    await page.click('#GoBattle');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'GoBattle');
    await page.context().close();
  });
});

describe('without WebAssembly', () => {
  const cases = [
    ['WebAssembly removed before the page loads', () => { delete window.WebAssembly; }],
    ['a core that does not compile', () => {
      WebAssembly.instantiate = () => Promise.reject(new Error('no'));
    }],
  ];
  for (const [what, script] of cases) {
    test(`${what}: one screen with one message in Russian, nothing thrown`, async () => {
      const context = await browser.newContext({ viewport: { width: 360, height: 740 } });
      const page = await context.newPage();
      const errors = [];
      page.on('pageerror', (error) => errors.push(String(error)));
      await page.addInitScript(script);
      await page.goto(pageUrl);
      await page.waitForSelector('#NoCore', { state: 'visible' });
      const shown = await page.evaluate(() => [...document.querySelectorAll('main > *')]
        .filter((el) => !el.matches('.visually-hidden') && el.getBoundingClientRect().height > 0).map((el) => el.id));
      assert.deepEqual(shown, ['NoCore']);
      assert.equal(await page.textContent('#NoCore'), text('kNoCore'));
      assert.equal(await page.isVisible('#Form1'), false);
      assert.deepEqual(errors, []);
      await context.close();
    });
  }
});
