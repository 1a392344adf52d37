'use strict';
// The duel screen: worked duels with chosen readings, every refusal in its
// order, both generators, random requests against saberline-cli byte for
// byte, and the duel link there and back.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const {
  launch, open, read, fill, setType, cli, cliRequest, random, clockFor, duelFields, facts,
  text, textWith, modal, visibleScreens, readingForDice, signDuelLink } = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const outputs = ['InfoBM1', 'InfoBM2', 'ErrorText'];
const empty = Object.fromEntries(duelFields.map((name) => [name, '']));

// Fills every duel field (unnamed ones empty), chooses the type and presses
// the duel button; the three texts it shows.
async function duel(page, type, texts) {
  await fill(page, { ...empty, ...texts });
  await setType(page, type);
  await page.click('#GoBattle');
  return read(page, outputs);
}

const coldDuellists = {
  BP1: '30', OgnOr1: '1', HolOr1: '10', StrZ1: '2', StrSt11: '1', StrSt12: '2', StrSt13: '3', ShAtack1: '4',
  BP2: '25', OgnOr2: '1', HolOr2: '8', StrZ2: '0', StrSt21: '4', StrSt22: '5', StrSt23: '6', StrSt24: '1',
  ShAtack2: '5',
};

describe('worked duels with chosen readings', () => {
  const cases = [
    {
      name: 'two pistol moves',
      type: 1,
      moves: [[4, 2], [6, 5]],
      texts: { BP1: '30', OgnOr1: '12', HolOr1: '1', StrZ1: '3', BP2: '20', OgnOr2: '9', HolOr2: '1', StrZ2: '4' },
      shown: {
        InfoBM1: '30 | 30(4) | 24(6) | 24;',
        InfoBM2: '20 | 12(2) | -8(5) | убит: поражение;',
        ErrorText: '',
      },
    },
    {
      name: 'one cold move repeated until a fall',
      type: 2,
      moves: [[6, 3]],
      texts: coldDuellists,
      shown: {
        InfoBM1: '30 | 24(4+/X) | 18(4+/X) | 12(4+/X) | 12;',
        InfoBM2: '25 | 15(5=/4) | 5(5=/4) | -5(5=/4) | убит: поражение;',
        ErrorText: '',
      },
    },
  ];
  for (const c of cases) {
    test(c.name, async () => {
      const page = await open(browser, { query: '?clock=' + clockFor(c.moves) });
      assert.deepEqual(await duel(page, c.type, c.texts), c.shown);
      await page.context().close();
    });
  }

  test('a mixed duel: pistol moves 1 and 5, cold moves between', async () => {
    const page = await open(browser, { query: '?clock=' + clockFor([[2, 5], [3, 4], [6, 6], [1, 2], [4, 4]]) });
    const shown = await duel(page, 3, {
      ...coldDuellists, BP1: '300', OgnOr1: '5', ShAtack1: '123456', BP2: '300', OgnOr2: '5', ShAtack2: '654321',
    });
    assert.ok(shown.InfoBM1.startsWith('300 | 297(2) | 291(2=/X) | 277(3+/X) | 277(4-/3) | 274(4) | '), shown.InfoBM1);
    assert.ok(shown.InfoBM2.startsWith('300 | 300(5) | 290(5=/X) | 270(4+/X) | 270(3=/4) | 265(4) | '), shown.InfoBM2);
    await page.context().close();
  });

  test('a duel that stays undecided after 100 moves shows the long-duel message', async () => {
    const page = await open(browser, { query: '?clock=' + clockFor([[1, 1]]) });
    const shown = await duel(page, 1, { BP1: '30', OgnOr1: '1', HolOr1: '1', StrZ1: '0', BP2: '30', OgnOr2: '1', HolOr2: '1', StrZ2: '0' });
    assert.equal(shown.ErrorText, text('kLongDuel'));
    assert.equal(shown.InfoBM1.match(/\(1\)/g).length, 100, shown.InfoBM1);
    await page.context().close();
  });
});

describe('refusals', () => {
  const input = text('kInputError');
  const costume = text('kCostumeError');
  const repeated1 = text('kDuplicateSides1');
  const repeated2 = text('kDuplicateSides2');
  const empty1 = text('kSchemeEmpty1');
  const empty2 = text('kSchemeEmpty2');
  const bad1 = text('kSchemeBad1');
  const bad2 = text('kSchemeBad2');
  const good = { ...coldDuellists, StrSt24: '' };
  // [what, type, changes to a good cold request, message ('' = accepted)]
  const cases = [
    ['start-up fields', 1, null, input],
    ['a blank health', 2, { BP1: ' ' }, input],
    ['health 0', 1, { BP2: '0' }, input],
    ['firearm points 0 in a cold duel', 2, { OgnOr1: '0' }, input],
    ['cold-weapon points 0 in a pistol duel', 1, { HolOr2: '0' }, input],
    ['armour -5', 2, { StrZ1: '-5' }, ''],
    ['a letter in StrSt14 of a pistol duel', 1, { StrSt14: 'x' }, input],
    ['a 7 in StrSt14 of a pistol duel', 1, { StrSt14: '7' }, ''],
    ['fourth side 4 with armour 0', 2, { StrSt14: '4', StrZ1: '0' }, ''],
    ['fourth side 4 with armour 1', 2, { StrSt14: '4', StrZ1: '1' }, costume],
    ['fourth side 9 with armour 0', 3, { StrSt14: '9', StrZ1: '0' }, costume],
    ['sides 2, 5, 2', 2, { StrSt11: '2', StrSt12: '5', StrSt13: '2' }, repeated1],
    ['fourth side repeats the third', 2, { StrSt14: '3', StrZ1: '0' }, repeated1],
    ['duellist 2 repeats', 3, { StrSt23: '4' }, repeated2],
    ['side 0 before a repeat', 2, { StrSt11: '0', StrSt23: '4' }, input],
    ['a costume fault before a repeat', 2, { StrSt24: '2', StrZ2: '5', StrSt12: '1' }, costume],
    ['health 0 before a costume fault', 2, { BP1: '0', StrSt14: '4', StrZ1: '3' }, input],
    ['both schemes empty', 2, { ShAtack1: '', ShAtack2: '' }, empty1],
    ['scheme 1 bad and scheme 2 empty', 2, { ShAtack1: '17', ShAtack2: '' }, empty2],
    ['both schemes bad', 3, { ShAtack1: '1 ', ShAtack2: 'a' }, bad1],
    ['scheme 2 with a 0', 2, { ShAtack2: '120' }, bad2],
    ['pistols ignore the schemes', 1, { ShAtack1: 'abc', ShAtack2: '' }, ''],
  ];
  test('every message in its order', async () => {
    const page = await open(browser, { query: '?clock=' + clockFor([[1, 1]]) });
    for (const [what, type, changes, message] of cases) {
      let shown;
      if (changes === null) {
        await page.click('#GoExit');
        await setType(page, type);
        await page.click('#GoBattle');
        shown = await read(page, outputs);
      } else {
        shown = await duel(page, type, { ...good, ...changes });
      }
      assert.equal(shown.ErrorText.startsWith('Внимание') ? shown.ErrorText : '', message, what);
      if (message) assert.deepEqual([shown.InfoBM1, shown.InfoBM2], ['', ''], what);
      else assert.notEqual(shown.InfoBM1, '', what);
    }
    await page.context().close();
  });
});

describe('the generators', () => {
  const counting = Array.from({ length: 100 }, (_, i) => i).join(',');
  const runs = [[6, '1'], [5, '2'], [5, '3'], [6, '4'], [5, '5'], [5, '6'], [6, '1'], [5, '2'], [5, '3'],
    [6, '4'], [5, '5'], [5, '6'], [6, '1'], [5, '2'], [5, '3'], [5, '4'], [6, '5'], [5, '6'], [4, '1']];
  const countingScheme = runs.map(([n, d]) => d.repeat(n)).join('');
  test('reading 0 again and again gives a hundred ones; readings 0 to 99 give the known scheme', async () => {
    let page = await open(browser, { query: '?clock=0' });
    await page.click('#GenShAttack1');
    assert.equal((await read(page, ['ShAtack1'])).ShAtack1, '1'.repeat(100));
    await page.context().close();

    page = await open(browser, { query: '?clock=' + counting });
    await page.click('#GenShAtack2');
    const shown = await read(page, ['ShAtack1', 'ShAtack2']);
    assert.deepEqual(shown, { ShAtack1: '', ShAtack2: countingScheme });
    assert.equal(cli(['scheme', '--clock', counting]), countingScheme + '\n');
    await page.context().close();
  });

  test('the page\'s own dice give a hundred digits 1 to 6 that differ from press to press', async () => {
    const page = await open(browser);
    await page.click('#GenShAttack1');
    await page.click('#GenShAtack2');
    const { ShAtack1, ShAtack2 } = await read(page, ['ShAtack1', 'ShAtack2']);
    assert.match(ShAtack1, /^[1-6]{100}$/);
    assert.match(ShAtack2, /^[1-6]{100}$/);
    assert.notEqual(ShAtack1, ShAtack2);
    // Browsers coarsen their timers; a timer-read die would repeat in runs.
    const longestRun = Math.max(...ShAtack1.match(/(.)\1*/g).map((run) => run.length));
    assert.ok(longestRun < 20, ShAtack1);
    await page.context().close();
  });

  test('a malformed ?clock= list gets a message, and the page throws its own dice', async () => {
    for (const list of ['', '1,,2', '-1', '18446744073709551616', 'abc']) {
      const page = await open(browser, { query: '?clock=' + encodeURIComponent(list) });
      const notice = await page.textContent('#PageNotice');
      assert.match(notice, /clock/, list);
      await page.click('#GenShAttack1');
      assert.match((await read(page, ['ShAtack1'])).ShAtack1, /^[1-6]{100}$/);
      await page.context().close();
    }
    const good = await open(browser, { query: '?clock=5' });
    assert.equal(await good.textContent('#PageNotice'), '');
    await good.context().close();
  });
});

// A random duel request: field texts the screen can hold, good and bad.
function randomRequest(rnd) {
  const number = () => rnd.pick([
    () => String(rnd.int(1, 40)), () => String(rnd.int(1, 40)), () => String(rnd.int(1, 9999)),
    () => '', () => '0', () => '-' + rnd.int(1, 99), () => '$' + rnd.int(1, 255).toString(16),
    () => ' ' + rnd.int(1, 9), () => 'x', () => String(rnd.int(1, 12)),
  ])();
  const side = () => rnd.pick(['1', '2', '3', '4', '5', '6', '1', '2', '3', '4', '5', '6', '', '0', '7', 'a', ' ', 'ё']);
  const scheme = () => {
    if (rnd() < 0.04) return '';
    const length = rnd.pick([1, 2, 3, 7, rnd.int(1, 100), 100]);
    const digits = Array.from({ length }, () => String(rnd.int(1, 6)));
    if (rnd() < 0.1) digits[rnd.int(0, length - 1)] = rnd.pick(['0', '7', ' ', 'я', 'x']);
    return digits.join('');
  };
  const fields = { TypeBattle: rnd.int(1, 3) };
  for (const d of [1, 2]) {
    fields['BP' + d] = rnd() < 0.95 ? String(rnd.int(1, 60)) : number();
    fields['OgnOr' + d] = rnd() < 0.95 ? String(rnd.int(1, 16)) : number();
    fields['HolOr' + d] = rnd() < 0.95 ? String(rnd.int(1, 12)) : number();
    fields['StrZ' + d] = rnd() < 0.95 ? String(rnd.int(0, 7)) : number();
    const sides = rnd() < 0.9 ? ['1', '2', '3', '4', '5', '6'].sort(() => rnd() - 0.5) : [side(), side(), side(), side()];
    for (let k = 1; k <= 3; ++k) fields['StrSt' + d + k] = sides[k - 1];
    fields['StrSt' + d + '4'] = rnd() < 0.7 ? '' : rnd() < 0.5 ? sides[3] : side();
    if (fields['StrSt' + d + '4'] !== '' && rnd() < 0.7) fields['StrZ' + d] = '0';
    fields['ShAtack' + d] = scheme();
  }
  // No more than a field takes, as typing gives.
  for (const { name, maxLength } of facts.duelFields) fields[name] = [...fields[name]].slice(0, maxLength).join('');
  return fields;
}

function randomReadings(rnd, count) {
  return Array.from({ length: count }, () =>
    (BigInt(Math.floor(rnd() * 2 ** 32)) << 32n | BigInt(Math.floor(rnd() * 2 ** 32))).toString());
}

const readingsOf = (link) => (link ? new URLSearchParams(new URL(link).hash.slice(1)).get('clock').split(',') : []);

test('300 random requests show what saberline-cli duel --json --clock shows, byte for byte', async () => {
  const rnd = random(20261208);
  const batches = 15;
  const perBatch = 20;
  const seen = { refused: 0, fought: 0, types: new Set() };
  for (let batch = 0; batch < batches; ++batch) {
    const list = randomReadings(rnd, 800);
    const page = await open(browser, { query: '?clock=' + list.join(',') });
    let position = 0;
    for (let i = 0; i < perBatch; ++i) {
      const fields = randomRequest(rnd);
      const { TypeBattle, ...texts } = fields;
      const shown = await duel(page, TypeBattle, texts);
      const expected = cli(['duel', '--json', '--clock', list.slice(position).join(',')], cliRequest(fields));
      const json = JSON.stringify({ InfoBM1: shown.InfoBM1, InfoBM2: shown.InfoBM2, ErrorText: shown.ErrorText }) + '\n';
      assert.equal(json, expected, JSON.stringify(fields));
      // The duel took the next readings of the list, as the link says.
      const taken = readingsOf((await read(page, ['DuelLink'])).DuelLink);
      const last = list.length - 1;
      assert.deepEqual(taken, taken.map((_, k) => list[Math.min(position + k, last)]));
      position += taken.length;
      seen[taken.length ? 'fought' : 'refused'] += 1;
      seen.types.add(TypeBattle);
    }
    assert.ok(position < 800, 'the list lasted');
    await page.context().close();
  }
  assert.ok(seen.fought >= 100 && seen.refused >= 50, JSON.stringify({ ...seen, types: [...seen.types] }));
  assert.equal(seen.types.size, 3);
});

describe('the duel link', () => {
  test('there and back: the same fields, logs and message, marked as a replay', async () => {
    const page = await open(browser);
    const texts = { ...coldDuellists, BP1: '40', BP2: '40', ShAtack1: '123', ShAtack2: 'ё' };
    let shown = await duel(page, 3, texts);
    assert.equal(shown.ErrorText, text('kSchemeBad2'));
    assert.equal(await page.isDisabled('#CopyDuelLink'), true, 'a refused request has no link');

    shown = await duel(page, 3, { ...texts, ShAtack2: '65' });
    assert.equal(await page.isEnabled('#CopyDuelLink'), true);
    const { DuelLink } = await read(page, ['DuelLink']);
    // The page's own dice: a fresh 64-bit reading for every move.
    const readings = readingsOf(DuelLink);
    assert.ok(readings.length >= 1);
    assert.equal(new Set(readings).size, readings.length, readings.join(','));
    assert.ok(readings.every((r) => /^\d{1,20}$/.test(r) && BigInt(r) < 2n ** 64n));
    assert.ok(readings.some((r) => BigInt(r) >= 2n ** 32n), 'readings wider than 32 bits');
    assert.ok(DuelLink.startsWith(page.url().split('?')[0].split('#')[0] + '#duel=1&'), DuelLink);
    await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
    await page.click('#CopyDuelLink');
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), DuelLink, 'copied');

    const other = await open(browser, { url: DuelLink });
    const replay = await read(other, [...outputs, ...duelFields, 'TypeBattle3', 'ReplayMark', 'PageNotice']);
    assert.deepEqual(
      { InfoBM1: replay.InfoBM1, InfoBM2: replay.InfoBM2, ErrorText: replay.ErrorText }, shown);
    for (const name of duelFields) assert.equal(replay[name], { ...empty, ...texts, ShAtack2: '65' }[name], name);
    assert.equal(replay.TypeBattle3, true);
    assert.equal(replay.ReplayMark, text('kReplayMark'));
    assert.equal(await other.isVisible('#ReplayMark'), true);
    assert.equal(replay.PageNotice, '');
    // The replayed duel has the same link again; the next press throws anew.
    assert.equal((await read(other, ['DuelLink'])).DuelLink, DuelLink);
    await other.click('#GoBattle');
    assert.equal(await other.isVisible('#ReplayMark'), false);
    await other.context().close();
    await page.context().close();
  });

  // A link of the worked cold duel made on the page, and its parts.
  async function workedLink() {
    const page = await open(browser, { query: '?clock=' + clockFor([[6, 3]]) });
    const shown = await duel(page, 2, coldDuellists);
    const { DuelLink } = await read(page, ['DuelLink']);
    await page.context().close();
    const [address, fragment] = DuelLink.split('#');
    return { shown, link: DuelLink, address, fragment, body: fragment.slice(0, fragment.lastIndexOf('&check=')) };
  }
  const startUpShown = { BP1: '30', BP2: '30', OgnOr1: '', ShAtack1: '', InfoBM1: 'Ещё не рассчитано!', InfoBM2: 'Ещё не рассчитано!', ErrorText: '' };

  test('a link whose field holds what no field can show is refused, naming the field', async () => {
    const { address, body } = await workedLink();
    // A field would drop the line break (BP1 would show 30) while the replay
    // read it (the input error): the link is refused instead.
    for (const [from, to, field, why] of [['BP1=30', 'BP1=3%0A0', 'BP1', 'kDuelLinkFieldControl'],
      ['ShAtack1=4', 'ShAtack1=4%09', 'ShAtack1', 'kDuelLinkFieldControl'],
      ['StrSt12=2', 'StrSt12=%C2%85', 'StrSt12', 'kDuelLinkFieldControl'],
      ['ShAtack2=5', 'ShAtack2=%D1', 'ShAtack2', 'kDuelLinkFieldBad']]) {
      assert.ok(body.includes(from), from);
      const other = await open(browser, { url: `${address}#${signDuelLink(body.replace(from, to))}` });
      assert.equal(await other.textContent('#PageNotice'), textWith(why, field), to);
      assert.deepEqual(await read(other, Object.keys(startUpShown)), startUpShown, to);
      assert.equal(await other.isVisible('#ReplayMark'), false, to);
      await other.context().close();
    }
  });

  test('a link written by anyone replays its dice, and the mark says it proves nothing', async () => {
    const { address, body } = await workedLink();
    // A hundred readings of the writer's choosing: duellist 2 rolls a 6 every
    // move, duellist 1 a 1, and the check written to match.
    const chosen = Array(100).fill(readingForDice(1, 6)).join(',');
    const forged = signDuelLink(body.replace(/clock=[0-9,]*/, 'clock=' + chosen));
    const other = await open(browser, { url: `${address}#${forged}` });
    const shown = await read(other, ['InfoBM1', 'InfoBM2', 'PageNotice', 'ReplayMark']);
    assert.equal(shown.PageNotice, '');
    assert.equal(shown.InfoBM1, cli(['duel', '--json', '--clock', chosen],
      cliRequest({ TypeBattle: 2, ...empty, ...coldDuellists })).match(/"InfoBM1":"([^"]*)"/)[1]);
    assert.ok(shown.InfoBM1.endsWith(text('kLogLoserEnd')), shown.InfoBM1);
    assert.equal(await other.isVisible('#ReplayMark'), true);
    assert.equal(shown.ReplayMark, text('kReplayMark'));
    assert.match(shown.ReplayMark, /ничего не доказывает/);
    assert.match(shown.ReplayMark, /проверка честной дуэли/);
    await other.context().close();
  });

  test('a link opened while a box is open is kept and opened when the box closes', async () => {
    const { shown, fragment } = await workedLink();
    const page = await open(browser);
    // The calculator's transfer asks or refuses in a box that waits.
    await page.click('#GoCalcOfBattleChars');
    await page.click('#MoveCarsOfBattlePanel');
    const box = await modal(page);
    assert.ok(box, 'a box is open');
    await page.evaluate((f) => new Promise((resolve) => {
      window.addEventListener('hashchange', () => setTimeout(resolve, 0), { once: true });
      location.hash = f;
    }), fragment);
    assert.deepEqual(await visibleScreens(page), ['PCalcOfBattleChars'], 'nothing opens behind the box');
    await page.click(box.buttons.length === 1 ? '#ModalOk' : '#ModalNo');
    await page.evaluate(() => window.Saberline.settled());
    assert.equal(await modal(page), null);
    assert.deepEqual(await visibleScreens(page), ['BattlePanel']);
    assert.deepEqual(await read(page, outputs), shown);
    assert.equal(await page.isVisible('#ReplayMark'), true);
    await page.context().close();
  });

  test('a cut or altered link gets a message and leaves the start-up screen', async () => {
    const page = await open(browser, { query: '?clock=' + clockFor([[6, 3]]) });
    await duel(page, 2, coldDuellists);
    const { DuelLink } = await read(page, ['DuelLink']);
    await page.context().close();
    const startUp = { BP1: '30', BP2: '30', OgnOr1: '', ShAtack1: '', InfoBM1: 'Ещё не рассчитано!', InfoBM2: 'Ещё не рассчитано!', ErrorText: '' };
    for (const link of [DuelLink.slice(0, -1), DuelLink.slice(0, DuelLink.length / 2), DuelLink.replace('BP1=30', 'BP1=31'), DuelLink.split('#')[0] + '#x']) {
      const other = await open(browser, { url: link });
      assert.equal(await other.textContent('#PageNotice'), text('kDuelLinkBad'));
      assert.deepEqual(await read(other, Object.keys(startUp)), startUp);
      assert.equal(await other.isVisible('#ReplayMark'), false);
      await other.context().close();
    }
  });
});
