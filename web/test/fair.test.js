'use strict';
// The fair duel on the page against saberline-cli: the same secret, words
// and request give the same readings, logs, commitment and verification;
// the page's verification link checks against what was posted, and a
// tampered link never shows its logs.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const nodeCrypto = require('node:crypto');
const { spawnSync } = require('node:child_process');
const { launch, open, read, fill, setType, cliPath, random, duelFields } = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// saberline-cli with a JSON request: status and parsed output.
function cliRun(args, request) {
  const run = spawnSync(cliPath, args, { input: JSON.stringify(request), encoding: 'utf8' });
  return { status: run.status, out: run.stdout ? JSON.parse(run.stdout) : null, err: run.stderr };
}

const empty = Object.fromEntries(duelFields.map((name) => [name, '']));

// Fills the duel screen and the fair panel, presses «Честный бой» and
// returns what the page then shows, and the readings it took.
async function fairFight(page, { secret, word1, word2, fields }) {
  const { TypeBattle, ...texts } = fields;
  await fill(page, { ...empty, ...texts, FairSecret: secret, FairWord1: word1, FairWord2: word2 });
  await setType(page, TypeBattle);
  await page.evaluate(() => { document.getElementById('FairLink').dataset.readings = ''; });
  await page.click('#FairBattle');
  await page.waitForFunction(() =>
    document.getElementById('FairLink').dataset.readings || document.getElementById('FairMessage').textContent);
  const shown = await read(page, ['InfoBM1', 'InfoBM2', 'ErrorText', 'FairLink', 'FairMessage']);
  shown.readings = await page.evaluate(() => document.getElementById('FairLink').dataset.readings.split(','));
  await page.evaluate(() => window.SaberlineFair.commitmentShown());
  shown.commitment = (await read(page, ['FairCommitment'])).FairCommitment;
  return shown;
}

// A player's word: a decimal number without leading zeros, 1 to 20 digits.
function randomWord(rnd) {
  const length = rnd.pick([1, 2, 4, 7, 20, rnd.int(1, 20)]);
  if (length === 1) return String(rnd.int(0, 9));
  return String(rnd.int(1, 9)) + Array.from({ length: length - 1 }, () => String(rnd.int(0, 9))).join('');
}

// A duel request, mostly long duels (so that many readings show in the
// logs), some refused.
function randomRequest(rnd) {
  const fields = { TypeBattle: rnd.int(1, 3) };
  for (const d of [1, 2]) {
    fields['BP' + d] = String(rnd() < 0.5 ? rnd.int(1, 60) : rnd.int(500, 9999));
    fields['OgnOr' + d] = String(rnd.int(1, 16));
    fields['HolOr' + d] = String(rnd.int(1, 12));
    fields['StrZ' + d] = String(rnd.int(-2, 6));
    const sides = ['1', '2', '3', '4', '5', '6'].sort(() => rnd() - 0.5);
    for (let k = 1; k <= 3; ++k) fields['StrSt' + d + k] = sides[k - 1];
    fields['StrSt' + d + '4'] = rnd() < 0.3 ? sides[3] : '';
    if (fields['StrSt' + d + '4']) fields['StrZ' + d] = '0';
    fields['ShAtack' + d] = Array.from({ length: rnd.int(1, 100) }, () => String(rnd.int(1, 6))).join('');
  }
  if (rnd() < 0.1) fields[rnd.pick(duelFields.filter((n) => !n.startsWith('ShAtack')))] = rnd.pick(['', 'x', '0', 'ё']);
  return fields;
}

const posted = (duel) => ({
  verification: duel.verification, commitment: duel.commitment,
  InfoBM1: duel.InfoBM1, InfoBM2: duel.InfoBM2, ErrorText: duel.ErrorText,
});

test('100 random fair duels: the same readings, logs, commitment and link as saberline-cli, and no link for a refused request', async () => {
  const rnd = random(13);
  const page = await open(browser);
  const seen = { fought: 0, refused: 0, longest: 0 };
  for (let i = 0; i < 100; ++i) {
    const secret = Buffer.from(Array.from({ length: 32 }, () => rnd.int(0, 255))).toString('hex');
    const word1 = randomWord(rnd);
    const word2 = randomWord(rnd);
    const fields = randomRequest(rnd);
    const what = JSON.stringify({ secret, word1, word2, fields });

    const native = cliRun(['fair', 'duel', '--secret', secret, '--word1', word1, '--word2', word2], fields);
    assert.equal(native.status, 0, native.err);
    const shown = await fairFight(page, { secret, word1, word2, fields });
    if (!native.out.verification) {
      // The rules refuse the request: its message, no readings, no link.
      assert.equal(shown.FairMessage, native.out.ErrorText, what);
      assert.equal(shown.ErrorText, native.out.ErrorText, what);
      assert.equal(shown.InfoBM1, '', what);
      assert.equal(shown.FairLink, '', what);
      seen.refused += 1;
      continue;
    }
    const check = cliRun(['fair', 'verify'], posted(native.out));
    assert.equal(check.status, 0, JSON.stringify(check.out));

    assert.equal(shown.FairMessage, '', what);
    assert.deepEqual(shown.readings, check.out.readings, what);
    assert.equal(shown.InfoBM1, native.out.InfoBM1, what);
    assert.equal(shown.InfoBM2, native.out.InfoBM2, what);
    assert.equal(shown.ErrorText, native.out.ErrorText, what);
    assert.equal(shown.commitment, native.out.commitment, what);
    assert.equal(shown.commitment, nodeCrypto.createHash('sha256').update(Buffer.from(secret, 'hex')).digest('hex'));
    assert.equal(new URL(shown.FairLink).hash, '#fair:' + native.out.verification, what);

    seen.fought += 1;
    seen.longest = Math.max(seen.longest, shown.InfoBM1.split(' |').length - 2);
  }
  assert.ok(seen.fought >= 70 && seen.refused >= 3 && seen.longest === 100, JSON.stringify(seen));
  await page.context().close();
});

test('making a commitment: a fresh secret and its SHA-256', async () => {
  const page = await open(browser);
  const secrets = new Set();
  for (let i = 0; i < 3; ++i) {
    await page.click('#FairCommit');
    await page.waitForFunction(() => document.getElementById('FairCommitment').value !== '');
    await page.evaluate(() => window.SaberlineFair.commitmentShown());
    const { FairSecret, FairCommitment } = await read(page, ['FairSecret', 'FairCommitment']);
    assert.match(FairSecret, /^[0-9a-f]{64}$/);
    assert.equal(FairCommitment, nodeCrypto.createHash('sha256').update(Buffer.from(FairSecret, 'hex')).digest('hex'));
    secrets.add(FairSecret);
    await fill(page, { FairCommitment: '' });
  }
  assert.equal(secrets.size, 3);
  // A secret typed or pasted shows its commitment too; a malformed one none.
  await fill(page, { FairSecret: '00'.repeat(32) });
  await page.evaluate(() => window.SaberlineFair.commitmentShown());
  assert.equal((await read(page, ['FairCommitment'])).FairCommitment,
    '66687aadf862bd776c8fc18b8e9f8e20089714856ee233b3902a591d0d5f2925');
  await fill(page, { FairSecret: '00'.repeat(31) });
  assert.equal((await read(page, ['FairCommitment'])).FairCommitment, '');
  await page.context().close();
});

test('bad input: the reason, and no duel and no link', async () => {
  const page = await open(browser);
  const good = { secret: 'ab'.repeat(32), word1: '1523', word2: '1524', fields: { TypeBattle: 1, BP1: '30', OgnOr1: '5', HolOr1: '1', StrZ1: '0', BP2: '30', OgnOr2: '5', HolOr2: '1', StrZ2: '0' } };
  const notAscii = ' содержит невидимый знак или букву либо цифру другой письменности: слово — это число, ' +
    'записанное цифрами 0–9.';
  const notDigit = ' содержит знак, пробел или букву: слово — это число, записанное цифрами 0–9.';
  const cases = [
    [{ secret: 'ab'.repeat(31) }, 'Секрет должен состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f).'],
    [{ secret: 'zz'.repeat(32) }, 'Секрет должен состоять ровно из 64 шестнадцатеричных цифр (0–9, a–f).'],
    [{ word1: '' }, 'Слово игрока бретёра №1 не заполнено.'],
    [{ word2: '' }, 'Слово игрока бретёра №2 не заполнено.'],
    [{ word2: '1'.repeat(21) }, 'Слово игрока бретёра №2 длиннее 20 цифр.'],
    [{ word1: '0101' }, 'Слово игрока бретёра №1 начинается с нуля: число пишется без ведущих нулей.'],
    [{ word1: '1523\u200b' }, 'Слово игрока бретёра №1' + notAscii],
    [{ word2: '\uff11\uff15' }, 'Слово игрока бретёра №2' + notAscii],
    [{ word1: 'Пoст' }, 'Слово игрока бретёра №1' + notAscii],
    [{ word1: '+1523' }, 'Слово игрока бретёра №1' + notDigit],
    [{ word2: ' 1524' }, 'Слово игрока бретёра №2' + notDigit],
    [{ word1: 'a\tb' }, 'Слово игрока бретёра №1' + notDigit],
    [{ fields: { ...good.fields, ShAtack1: '12\t' } },
      'Поле ShAtack1 содержит управляющие знаки (перевод строки, табуляцию): честная дуэль их не принимает.'],
  ];
  for (const [change, message] of cases) {
    await page.evaluate(() => { document.getElementById('InfoBM1').value = 'before'; });
    const shown = await fairFight(page, { ...good, ...change });
    assert.equal(shown.FairMessage, message, JSON.stringify(change));
    assert.equal(shown.FairLink, '');
    assert.equal(shown.InfoBM1, 'before');
  }
  // 20 digits are a word.
  const shown = await fairFight(page, { ...good, word1: '18446744073709551615' });
  assert.equal(shown.FairMessage, '');
  assert.ok(shown.FairLink.includes('#fair:saberline-fair-v2&'));
  await page.context().close();
});

// What the page shows after opening a link and checking it against `thread`.
async function checkLink(link, thread) {
  const page = await open(browser, { url: link });
  const before = await read(page, ['FairVerdict', 'FairCheckCommitment', 'FairCheckWords', 'InfoBM1', 'InfoBM2']);
  await fill(page, {
    FairPostedCommitment: thread.commitment, FairPostedLog1: thread.InfoBM1,
    FairPostedLog2: thread.InfoBM2, FairPostedMessage: thread.ErrorText,
  });
  await page.click('#FairCheckButton');
  const after = await read(page, ['FairVerdict', 'InfoBM1', 'InfoBM2', 'ErrorText', 'BP1', 'ShAtack2']);
  after.differs = await page.evaluate(() => document.getElementById('FairVerdict').dataset.differs);
  after.errors = page.errors;
  await page.context().close();
  return { before, after };
}

describe('opening a verification link', () => {
  const request = {
    TypeBattle: 3, BP1: '300', OgnOr1: '6', HolOr1: '8', StrZ1: '2', StrSt11: '1', StrSt12: '3', StrSt13: '5',
    StrSt14: '', ShAtack1: '246135', BP2: '280', OgnOr2: '7', HolOr2: '6', StrZ2: '0', StrSt21: '2',
    StrSt22: '4', StrSt23: '6', StrSt24: '1', ShAtack2: '531',
  };
  const secret = '5c955235ed9cf2e4dedac1caaecb4a58b678a6026fa31b6e7505e48a990aacba';
  let duel;
  let base;
  before(() => {
    duel = cliRun(['fair', 'duel', '--secret', secret, '--word1', '1523', '--word2', '1524'], request).out;
    base = require('./support').pageUrl + '#fair:';
  });

  test('a good link verifies against the posted commitment and logs, and shows the duel', async () => {
    const { before: opened, after } = await checkLink(base + duel.verification, duel);
    assert.equal(opened.FairCheckCommitment, duel.commitment);
    assert.equal(opened.FairCheckWords, '«1523» и «1524»');
    assert.match(opened.FairVerdict, /^Ссылка проверки прочитана/);
    assert.equal(opened.InfoBM1, '', 'no logs before the check');
    assert.match(after.FairVerdict, /^ПРОВЕРЕНО/);
    assert.equal(after.InfoBM1, duel.InfoBM1);
    assert.equal(after.InfoBM2, duel.InfoBM2);
    assert.equal(after.ErrorText, duel.ErrorText);
    assert.equal(after.BP1, '300');
    assert.equal(after.ShAtack2, '531');
    assert.deepEqual(after.errors, []);
  });

  test('a duel fought the ordinary way afterwards is not taken for the verified one', async () => {
    const page = await open(browser, { url: base + duel.verification });
    await fill(page, {
      FairPostedCommitment: duel.commitment, FairPostedLog1: duel.InfoBM1, FairPostedLog2: duel.InfoBM2,
      FairPostedMessage: duel.ErrorText,
    });
    await page.click('#FairCheckButton');
    assert.match((await read(page, ['FairVerdict'])).FairVerdict, /^ПРОВЕРЕНО/);
    await page.click('#GoBattle');
    const shown = await read(page, ['FairVerdict', 'FairCheck', 'FairLink', 'InfoBM1']);
    assert.equal(shown.FairVerdict, '');
    assert.equal(await page.isHidden('#FairCheck'), true);
    assert.notEqual(shown.InfoBM1, '');
    await page.context().close();
  });

  test('the CLI reads the page\'s link as its verification', () => {
    const check = cliRun(['fair', 'verify'], { ...posted(duel), verification: base + duel.verification });
    assert.equal(check.status, 0, JSON.stringify(check.out));
  });

  test('the commitment alone is not enough to show the duel', async () => {
    const { after } = await checkLink(base + duel.verification, { commitment: duel.commitment, InfoBM1: '', InfoBM2: '', ErrorText: '' });
    assert.match(after.FairVerdict, /^SHA-256 секрета совпадает с обязательством. Теперь вставьте/);
    assert.equal(after.InfoBM1, '');
  });

  const replaced = (text, key, value) => text.replace(new RegExp(`&${key}=[^&]*`), `&${key}=${value}`);
  const otherSecret = secret.slice(0, 10) + (secret[10] === '0' ? '1' : '0') + secret.slice(11);
  const tampers = [
    // Another duel may also end otherwise, so that the message differs too.
    ['the secret', (v) => replaced(v, 'secret', otherSecret), null, /^commitment,InfoBM1,InfoBM2(,ErrorText)?$/],
    ['word 1', (v) => replaced(v, 'word1', '1522'), null, /^InfoBM1,InfoBM2(,ErrorText)?$/],
    ['word 2', (v) => replaced(v, 'word2', '15240'), null, /^InfoBM1,InfoBM2(,ErrorText)?$/],
    ['a field', (v) => replaced(v, 'BP2', '281'), null, /^InfoBM1,InfoBM2(,ErrorText)?$/],
    ['a posted log', (v) => v, { InfoBM1: (l) => l.replace(' |', '  |') }, /^InfoBM1$/],
    ['a posted message', (v) => v, { ErrorText: (m) => m + '.' }, /^ErrorText$/],
    ['the posted commitment', (v) => v, { commitment: (c) => c.slice(0, 63) + (c[63] === 'a' ? 'b' : 'a') }, /^commitment$/],
  ];
  for (const [what, tamper, postedTamper, differs] of tampers) {
    test(`a changed ${what} does not verify and shows no logs`, async () => {
      const thread = { ...duel };
      for (const [key, change] of Object.entries(postedTamper || {})) thread[key] = change(thread[key]);
      const { after } = await checkLink(base + tamper(duel.verification), thread);
      assert.match(after.FairVerdict, /^НЕ ПРОВЕРЕНО, ходы не показаны. Не совпадает: /);
      assert.match(after.differs, differs);
      assert.equal(after.InfoBM1, '');
      assert.equal(after.InfoBM2, '');
    });
  }

  test('a malformed link says why and shows nothing', async () => {
    const links = [
      [base + duel.verification.replace('&word2=', '&word2=%ZZ'),
        'в части «word2» есть знак, которого в ссылке проверки не бывает (бывают только латинские буквы, цифры и «-»).'],
      [base + duel.verification.split('&word2=')[0], 'в ссылке нет части «word2».'],
      [base + 'saberline-fair-v9&x=1', 'ссылка записана в формате saberline-fair-v9, а эта страница читает только saberline-fair-v2.'],
      [base + duel.verification.replace('saberline-fair-v2', 'saberline-fair-v1'),
        'ссылка записана в формате saberline-fair-v1, а эта страница читает только saberline-fair-v2.'],
      [base + duel.verification.replace('&word1=1523', '&word1=01523'),
        'Слово игрока бретёра №1 начинается с нуля: число пишется без ведущих нулей.'],
      // A cold-weapon duel reads no firearm points: one duel, one link.
      [base + replaced(duel.verification, 'TypeBattle', '2'),
        'поле «OgnOr1» записано не так, как его записывает программа (каждое значение в ссылке пишется одним способом).'],
      [base + replaced(duel.verification, 'BP1', '0'),
        'правила отказывают в заявке из ссылки: Внимание! Ошибка при вводе начальных характеристик!'],
    ];
    for (const [link, reason] of links) {
      const page = await open(browser, { url: link });
      const shown = await read(page, ['FairVerdict', 'InfoBM1', 'InfoBM2', 'BP1', 'PageNotice']);
      assert.equal(shown.FairVerdict, 'Ссылка проверки повреждена, дуэль не показана. Причина: ' + reason);
      assert.equal(shown.InfoBM1, '');
      assert.equal(shown.BP1, '30', 'the fields stay as at start-up');
      assert.equal(shown.PageNotice, '', 'not taken for a duel link');
      await page.context().close();
    }
  });
});
