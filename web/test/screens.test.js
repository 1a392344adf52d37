'use strict';
// The four screens as the window has them: start-up state, captions,
// limits, navigation that keeps every field, maximum
// lengths typed and pasted, the exit button, the calculator and the
// transfer question, and the exact odds against saberline-cli.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const {
  launch, open, read, fill, setType, visibleScreens, modal, cli, cliRequest, random, duelFields, facts, storedLayout,
  text,
} = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// What the page must show at start-up, from the two homes of these facts:
// the core's field tables (start-up text, length; results disabled) and the
// window's stored layout (the move logs' text, the captions).
const layout = storedLayout();
const stored = (name) => layout.find((c) => c.name === name);
// [control, text at start-up, maximum length (null: none), disabled]
const editFields = [
  ...facts.duelFields.map((f) => [f.name, f.startUp, f.maxLength, false]),
  ...['InfoBM1', 'InfoBM2'].map((name) => [name, stored(name).text, null, false]),
  ...facts.forumFields.map((f) => [f.name, f.startUp, f.maxLength, false]),
  ...facts.combatResults.map((f) => [f.name, f.startUp, f.maxLength, true]),
];
const captions = [
  ...layout.filter((c) => /QPushButton|QRadioButton/.test(c.cls) || c.name === 'GlText' || c.name === 'ErrorText')
    .map((c) => [c.cls === 'QRadioButton' ? c.name + '-box' : c.name, c.name === 'ErrorText' ? '' : c.text]),
  ['Lanternhall', facts.siteHost],
];
const marks = facts.blackMarkBoxes.map((box) => box.name);

describe('start-up', () => {
  test('only the duel screen, every control with the window\'s text, limit and state', async () => {
    const page = await open(browser);
    assert.deepEqual(await visibleScreens(page), ['BattlePanel']);
    const props = await page.evaluate(([fields, caps, boxes]) => {
      const $ = (id) => document.getElementById(id);
      return {
        fields: fields.map(([id]) => [id, $(id).value, $(id).maxLength < 0 ? null : $(id).maxLength, $(id).disabled]),
        captions: caps.map(([id]) => [id, $(id).textContent]),
        radios: [1, 2, 3].map((n) => $('TypeBattle' + n).checked),
        marks: boxes.map((id) => $(id).checked),
        link: $('Lanternhall').href,
      };
    }, [editFields, captions, marks]);
    assert.deepEqual(props.fields, editFields);
    assert.deepEqual(props.captions, captions);
    assert.deepEqual(props.radios, [true, false, false]);
    assert.deepEqual(props.marks, marks.map(() => false));
    assert.equal(props.link, facts.siteAddress);
    assert.deepEqual(page.errors, []);
    await page.context().close();
  });
});

test('navigation: each screen reached from the duel screen and back, every field kept', async () => {
  const page = await open(browser, { query: '?clock=16,31' });
  const duelTexts = { BP2: '20', OgnOr1: '12', HolOr1: '1', StrZ1: '3', OgnOr2: '9', HolOr2: '1', StrZ2: '4', ShAtack1: '12' };
  await fill(page, duelTexts);
  await page.click('#GoBattle');
  await page.click('#GoCalcOfBattleChars');
  await fill(page, { SumPostsBM1: '250', SumRBM2: '30' });
  await page.check('#ChM13');
  const everything = [...duelFields, 'InfoBM1', 'InfoBM2', 'ErrorText', 'TypeBattle1', 'SumPostsBM1', 'SumRBM1',
    'SumPostsBM2', 'SumRBM2', ...marks, 'FOgnOr1'];
  const before = await read(page, everything);
  assert.equal(before.InfoBM1, '30 | 30(4) | 24(6) | 24;');
  const trips = [
    ['GoBattlePanel', 'BattlePanel'], ['HelpAction', 'HelpPanel'], ['ForHelpClose', 'BattlePanel'],
    ['AboutAction', 'AboutPanel'], ['ForAboutClose', 'BattlePanel'], ['GoCalcOfBattleChars', 'PCalcOfBattleChars'],
    ['GoBattlePanel', 'BattlePanel'],
  ];
  for (const [button, screen] of trips) {
    await page.click('#' + button);
    assert.deepEqual(await visibleScreens(page), [screen], button);
    assert.equal(await page.isVisible('#DuelExtras'), screen === 'BattlePanel', 'odds and link go with the duel screen');
    assert.deepEqual(await read(page, everything), before, button);
  }
  await page.context().close();
});

test('maximum lengths hold for typed and pasted text', async () => {
  const page = await open(browser);
  await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
  const cases = [['BP1', 4], ['StrSt11', 1], ['ShAtack1', 100], ['OgnOr2', 4]];
  for (const [id, max] of cases) {
    await page.fill('#' + id, '');
    await page.type('#' + id, '1'.repeat(max + 3));
    assert.equal((await read(page, [id]))[id], '1'.repeat(max), 'typed into ' + id);
    await page.fill('#' + id, '');
    await page.evaluate((text) => navigator.clipboard.writeText(text), '2'.repeat(max + 7));
    await page.focus('#' + id);
    await page.keyboard.press('Control+V');
    assert.equal((await read(page, [id]))[id], '2'.repeat(max), 'pasted into ' + id);
  }
  await page.click('#GoCalcOfBattleChars');
  await page.fill('#SumPostsBM1', '');
  await page.type('#SumPostsBM1', '123456789');
  assert.equal((await read(page, ['SumPostsBM1'])).SumPostsBM1, '12345');
  // A disabled result takes no typing.
  await page.evaluate(() => document.getElementById('FOgnOr1').focus());
  await page.keyboard.type('77');
  assert.equal((await read(page, ['FOgnOr1'])).FOgnOr1, '0');
  await page.context().close();
});

test('the exit button returns the page to its start-up state', async () => {
  const page = await open(browser);
  const startUp = await read(page, [...duelFields, 'InfoBM1', 'InfoBM2', 'ErrorText', 'TypeBattle1', 'SumPostsBM1', 'FOgnOr1', ...marks]);
  await fill(page, { OgnOr1: '5', ShAtack2: '123' });
  await setType(page, 2);
  await page.click('#GoBattle');
  await page.click('#GoCalcOfBattleChars');
  await page.check('#ChM21');
  await fill(page, { SumPostsBM1: '100', SumRBM1: '5', SumPostsBM2: '100', SumRBM2: '5' });
  await page.click('#CalcOfBattleChars');
  await page.click('#GoBattlePanel');
  assert.notDeepEqual(await read(page, Object.keys(startUp)), startUp);
  await page.click('#GoExit');
  assert.deepEqual(await read(page, Object.keys(startUp)), startUp);
  assert.deepEqual(await visibleScreens(page), ['BattlePanel']);
  assert.equal(await page.isDisabled('#CopyDuelLink'), true);
  await page.context().close();
});

describe('the calculator and the transfer', () => {
  const forumError = text('kForumInputError');
  const refused = text('kTransferRefused');
  const question = text('kTransferQuestion');
  const results = ['FOgnOr1', 'FHolOr1', 'FStrZ1', 'FOgnOr2', 'FHolOr2', 'FStrZ2'];

  async function answer(page, button) {
    await page.click('#Modal' + button);
    assert.equal(await modal(page), null);
  }

  test('refusals in the message dialog, results as saberline-cli calc gives them', async () => {
    const page = await open(browser);
    await page.click('#GoCalcOfBattleChars');
    await page.click('#CalcOfBattleChars');
    assert.deepEqual(await modal(page), { title: 'saberline', text: forumError, buttons: ['OK'], focused: 'OK' });
    await answer(page, 'Ok');
    // [posts 1, reputation 1, marks 1, posts 2, reputation 2, marks 2]
    const cases = [
      ['1', '1', 0, '99', '100', 0], ['100', '5', 0, '250', '30', 0], ['1000', '50', 0, '5000', '100', 2],
      ['2000', '75', 1, '100', '2856', 5], ['$64', '4', 4, '99999', '9999', 3], ['-5', '1', 0, '1', '1', 0],
      ['1 ', '1', 0, '1', '1', 0], ['', '1', 0, '1', '1', 0],
    ];
    for (const [p1, r1, m1, p2, r2, m2] of cases) {
      await fill(page, { SumPostsBM1: p1, SumRBM1: r1, SumPostsBM2: p2, SumRBM2: r2 });
      const request = { SumPostsBM1: p1, SumRBM1: r1, SumPostsBM2: p2, SumRBM2: r2 };
      for (let k = 1; k <= 5; ++k) {
        await page.setChecked(`#ChM1${k}`, k <= m1);
        await page.setChecked(`#ChM2${k}`, k <= m2);
        request[`ChM1${k}`] = k <= m1;
        request[`ChM2${k}`] = k <= m2;
      }
      const before = await read(page, results);
      await page.click('#CalcOfBattleChars');
      const expected = JSON.parse(cli(['calc', '--json'], request));
      const box = await modal(page);
      if (expected.Message) {
        assert.equal(box.text, expected.Message);
        await answer(page, 'Ok');
        assert.deepEqual(await read(page, results), before, 'results kept');
      } else {
        assert.equal(box, null);
        assert.deepEqual(await read(page, results), expected);
      }
    }
    await page.context().close();
  });

  test('the transfer: refused at zero, asked with «Да» as default, «Нет» keeps and «Да» copies', async () => {
    const page = await open(browser, { query: '?clock=16,31' });
    await fill(page, { BP2: '20', OgnOr1: '12', HolOr1: '1', StrZ1: '3', OgnOr2: '9', HolOr2: '1', StrZ2: '4' });
    await page.click('#GoBattle');
    await page.click('#GoCalcOfBattleChars');
    await page.click('#MoveCarsOfBattlePanel');
    assert.deepEqual(await modal(page), { title: 'saberline', text: refused, buttons: ['OK'], focused: 'OK' });
    await answer(page, 'Ok');

    await fill(page, { SumPostsBM1: '250', SumRBM1: '30', SumPostsBM2: '50', SumRBM2: '2' });
    await page.click('#CalcOfBattleChars');
    assert.deepEqual(await read(page, results),
      { FOgnOr1: '12', FHolOr1: '7', FStrZ1: '3', FOgnOr2: '8', FHolOr2: '5', FStrZ2: '0' });
    const duelScreen = ['OgnOr1', 'HolOr1', 'StrZ1', 'OgnOr2', 'HolOr2', 'StrZ2', 'BP1', 'BP2', 'InfoBM1', 'InfoBM2', 'ErrorText'];
    const before = await read(page, duelScreen);

    await page.click('#MoveCarsOfBattlePanel');
    // The question's buttons read as the window's on a Russian system.
    assert.deepEqual(await modal(page), {
      title: text('kTransferQuestionTitle'), text: question,
      buttons: [text('kQuestionYes'), text('kQuestionNo')], focused: text('kQuestionYes'),
    });
    // Clicks beside the question do nothing, and the page behind takes no
    // click; Escape answers «Нет».
    await page.mouse.click(5, 5);
    assert.notEqual(await modal(page), null);
    assert.equal(await page.evaluate(() => document.getElementById('Form1').inert), true);
    await page.keyboard.press('Escape');
    assert.equal(await modal(page), null);
    assert.deepEqual(await read(page, duelScreen), before);

    await page.click('#MoveCarsOfBattlePanel');
    await page.keyboard.press('Enter');  // Yes, the default
    assert.equal(await modal(page), null);
    assert.deepEqual(await read(page, duelScreen), {
      OgnOr1: '12', HolOr1: '7', StrZ1: '3', OgnOr2: '8', HolOr2: '5', StrZ2: '0', BP1: '30', BP2: '20',
      InfoBM1: '', InfoBM2: '', ErrorText: '',
    });
    assert.deepEqual(await visibleScreens(page), ['PCalcOfBattleChars'], 'the screen does not switch');
    await page.context().close();
  });
});

test('an error escaping the core shows the error box, and the page goes on', async () => {
  const page = await open(browser);
  await page.click('#GoCalcOfBattleChars');
  // The result fields hold only the system's own texts; one that does not
  // convert reaches the transfer's check and raises the conversion error.
  await page.evaluate(() => {
    for (const id of ['FOgnOr1', 'FOgnOr2', 'FHolOr1']) document.getElementById(id).value = '5';
    document.getElementById('FHolOr2').value = ' 7 ';
  });
  await page.click('#MoveCarsOfBattlePanel');
  assert.deepEqual(await modal(page),
    { title: 'saberline', text: "' 7 ' is not a valid integer value.", buttons: ['OK'], focused: 'OK' });
  assert.equal(await page.getAttribute('#ModalIcon', 'class'), 'stop');
  await page.click('#ModalOk');
  assert.equal(await modal(page), null);
  assert.deepEqual(await visibleScreens(page), ['PCalcOfBattleChars']);
  await page.click('#GoBattlePanel');
  assert.deepEqual(await visibleScreens(page), ['BattlePanel']);
  await page.context().close();
});

test('the odds as the fields stand equal saberline-cli odds --json: the start-up fields of each duel type, then 60 requests', async () => {
  const page = await open(browser);
  const rnd = random(7);
  const ids = ['OddsDuellist1', 'OddsDuellist2', 'OddsBothFell', 'OddsUndecided', 'OddsExpectedMoves'];
  const keys = ['duellist1', 'duellist2', 'both_fell', 'undecided', 'expected_moves'];
  // The odds shown for `fields` are the command line's; true for a refusal.
  const check = async (fields) => {
    const expected = JSON.parse(cli(['odds', '--json'], cliRequest(fields)));
    const shown = await page.evaluate((names) => Object.fromEntries(names.map((id) => {
      const el = document.getElementById(id);
      return [id, { text: el.textContent, value: el.dataset.value }];
    })), [...ids, 'OddsMessage']);
    if (expected.ErrorText) {
      assert.equal(shown.OddsMessage.text, expected.ErrorText);
      assert.equal(await page.isVisible('#OddsNumbers'), false);
      return true;
    }
    assert.equal(shown.OddsMessage.text, '');
    const plain = cli(['odds'], cliRequest(fields)).split('\n');
    ids.forEach((id, k) => {
      assert.equal(Number(shown[id].value), expected[keys[k]], `${id} of ${JSON.stringify(fields)}`);
      // The shown text is the command line's, character for character.
      assert.equal(plain[k].slice(plain[k].lastIndexOf(': ') + 2), shown[id].text, id);
    });
    return false;
  };
  // The start-up fields' odds come with the page, worked out when it was
  // made: each duel type's must be the core's as it works them out now.
  const startUp = await page.evaluate(() => Object.fromEntries(
    window.Saberline.facts().duelFields.map(({ name }) => [name, document.getElementById(name).value])));
  for (const type of [2, 3, 1]) {
    await setType(page, type);
    await check({ TypeBattle: type, ...startUp });
  }
  let refusals = 0;
  for (let i = 0; i < 60; ++i) {
    const type = rnd.int(1, 3);
    const sides = ['1', '2', '3', '4', '5', '6'].sort(() => rnd() - 0.5);
    const fields = {
      TypeBattle: type, BP1: String(rnd.int(1, 80)), OgnOr1: String(rnd.int(1, 16)), HolOr1: String(rnd.int(1, 12)),
      StrZ1: String(rnd.int(0, 7)), StrSt11: sides[0], StrSt12: sides[1], StrSt13: sides[2], StrSt14: '',
      ShAtack1: Array.from({ length: rnd.int(1, 12) }, () => rnd.int(1, 6)).join(''),
      BP2: String(rnd.int(1, 80)), OgnOr2: String(rnd.int(1, 16)), HolOr2: String(rnd.int(1, 12)),
      StrZ2: String(rnd.int(0, 7)), StrSt21: sides[3], StrSt22: sides[4], StrSt23: sides[5],
      StrSt24: rnd() < 0.2 ? sides[0] : '', ShAtack2: Array.from({ length: rnd.int(1, 12) }, () => rnd.int(1, 6)).join(''),
    };
    if (i % 6 === 5) fields[rnd.pick(['BP1', 'ShAtack2', 'StrSt12', 'HolOr2'])] = rnd.pick(['', '0', 'x']);
    const { TypeBattle, ...texts } = fields;
    await setType(page, TypeBattle);
    // One field at a time, each with its input event: the odds follow each change.
    await fill(page, texts);
    if (await check(fields)) refusals += 1;
  }
  assert.ok(refusals >= 5 && refusals <= 20, String(refusals));
  await page.context().close();
});
