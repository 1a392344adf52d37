'use strict';
// The fair duel on the page against saberline-cli and the published known
// answers: the same secret, words, salts and request give the same readings,
// logs, commitments and verification; the page's verification link checks
// against what was posted as `fair verify` checks it; the page and the
// command line accept exactly the same verifications and commitments; a
// tampered link never shows its logs; what is shown goes when the fields
// change; a secret is never lost silently.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const nodeCrypto = require('node:crypto');
const { spawnSync } = require('node:child_process');
const { launch, open, read, fill, setType, cliPath, random, duelFields, modal, pageUrl, pistolDuel, root, text,
  textWith } =
  require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// saberline-cli with a JSON input: status, parsed output and standard error.
function cliRun(args, input) {
  const run = spawnSync(cliPath, args, { input: JSON.stringify(input), encoding: 'utf8' });
  return { status: run.status, out: run.stdout ? JSON.parse(run.stdout) : null, err: run.stderr };
}

const empty = Object.fromEntries(duelFields.map((name) => [name, '']));
const sha256 = (hex) => nodeCrypto.createHash('sha256').update(Buffer.from(hex, 'hex')).digest('hex');
// The end of the handler a click started (the page's handlers may wait for
// the browser's cryptography).
const settled = (page) => page.evaluate(() => window.Saberline.settled());
// The check's verdicts, from the core's texts: verified (perhaps with a note
// after), not verified naming what differs, and what was not compared.
const verified = (verdict) => verdict.startsWith(text('kFairVerified'));
const notVerified = (verdict) => verdict.startsWith(text('kFairNotVerified'));
const named = (names) => names.map((name) => text(name)).join(', ');
const differ = (...names) => text('kFairNotVerified') + named(names) + '.';
const notCompared = (...names) => textWith('kFairNotCompared', named(names));

// Types each text into its field as a person does (the field focused, its
// text replaced by the typed one); fields that already hold it are left.
async function typeInto(page, texts) {
  const now = await read(page, Object.keys(texts));
  for (const [id, text] of Object.entries(texts)) if (now[id] !== text) await page.fill('#' + id, text);
}

// Types the duel screen and the referee's part of the fair panel, clicks
// the duel type and «Честный бой», and returns what the page then shows:
// the logs, the message, the link, the panel's message, the readings taken
// and the commitments.
async function fairFight(page, { secret, word1, word2, salt1 = '', salt2 = '', fields }) {
  const { TypeBattle, ...texts } = fields;
  await typeInto(page, {
    ...empty, ...texts, FairSecret: secret, FairWord1: word1, FairWord2: word2, FairSalt1: salt1, FairSalt2: salt2,
  });
  await page.click('#TypeBattle' + TypeBattle);
  await page.click('#FairBattle');
  await settled(page);
  await page.evaluate(() => window.SaberlineFair.commitmentShown());
  const shown = await read(page, ['InfoBM1', 'InfoBM2', 'ErrorText', 'FairLink', 'FairMessage', 'FairCommitment',
    'FairCommitment1', 'FairCommitment2']);
  shown.readings = await page.evaluate(() => (document.getElementById('FairLink').dataset.readings || '').split(','));
  return shown;
}

// Opens a link through the field for received links, types what was posted
// in the thread and clicks «Проверить»: the verdict, its note, what differs,
// the readings of the check and what the page then shows.
async function checkPasted(page, link, thread) {
  await typeInto(page, { PastedLink: link });
  await page.click('#OpenPastedLink');
  await settled(page);
  return checkOpened(page, thread);
}
async function checkOpened(page, thread) {
  await typeInto(page, {
    FairPostedCommitment: thread.commitment, FairPostedCommitment1: thread.commitment1 || '',
    FairPostedCommitment2: thread.commitment2 || '', FairPostedLog1: thread.InfoBM1, FairPostedLog2: thread.InfoBM2,
    FairPostedMessage: thread.ErrorText,
  });
  await page.click('#FairCheckButton');
  const shown = await read(page, ['FairVerdict', 'FairCheckNote', 'FairCheckCommitment', 'FairCheckCommitment1',
    'FairCheckCommitment2', 'FairCheckWords', 'InfoBM1', 'InfoBM2', 'ErrorText']);
  Object.assign(shown, await page.evaluate(() => ({
    differs: document.getElementById('FairVerdict').dataset.differs,
    readings: (document.getElementById('FairCheck').dataset.readings || '').split(','),
  })));
  return shown;
}

// A player's word: a decimal number without leading zeros, 1 to 20 digits.
function randomWord(rnd) {
  const length = rnd.pick([1, 2, 4, 7, 20, rnd.int(1, 20)]);
  if (length === 1) return String(rnd.int(0, 9));
  return String(rnd.int(1, 9)) + Array.from({ length: length - 1 }, () => String(rnd.int(0, 9))).join('');
}
const randomHex = (rnd) => Buffer.from(Array.from({ length: 32 }, () => rnd.int(0, 255))).toString('hex');

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

// saberline-cli's fair duel for these inputs.
function cliFair({ secret, word1, word2, salt1, salt2, fields }) {
  const args = ['fair', 'duel', '--secret', secret, '--word1', word1, '--word2', word2];
  if (salt1) args.push('--salt1', salt1);
  if (salt2) args.push('--salt2', salt2);
  return cliRun(args, fields);
}

// What was posted in the thread, for `fair verify`.
const posted = (duel, extra = {}) => ({
  verification: duel.verification, commitment: duel.commitment,
  InfoBM1: duel.InfoBM1, InfoBM2: duel.InfoBM2, ErrorText: duel.ErrorText, ...extra,
});

test('100 random fair duels with salts, typed and clicked: the same readings, logs, commitments and link as ' +
  'saberline-cli, and each link checks on the page as fair verify checks it', async () => {
  const rnd = random(13);
  const page = await open(browser);
  const seen = { fought: 0, refused: 0, longest: 0, salted: 0, playersCompared: 0, cleaned: 0 };
  for (let i = 0; i < 100; ++i) {
    const duel = {
      secret: randomHex(rnd), word1: randomWord(rnd), word2: randomWord(rnd),
      salt1: rnd() < 0.5 ? randomHex(rnd) : '', salt2: rnd() < 0.5 ? randomHex(rnd) : '', fields: randomRequest(rnd),
    };
    const what = JSON.stringify(duel);
    const native = cliFair(duel);
    assert.equal(native.status, 0, native.err);
    const shown = await fairFight(page, duel);
    assert.equal(shown.FairCommitment, native.out.commitment, what);
    if (!native.out.verification) {
      // The rules refuse the request: its message at the panel, no readings, no link.
      assert.equal(shown.FairMessage, native.out.ErrorText, what);
      assert.equal(shown.ErrorText, native.out.ErrorText, what);
      assert.equal(shown.InfoBM1, '', what);
      assert.equal(shown.FairLink, '', what);
      seen.refused += 1;
      continue;
    }
    assert.equal(shown.FairMessage, '', what);
    assert.equal(shown.InfoBM1, native.out.InfoBM1, what);
    assert.equal(shown.InfoBM2, native.out.InfoBM2, what);
    assert.equal(shown.ErrorText, native.out.ErrorText, what);
    assert.equal(shown.FairCommitment, sha256(duel.secret));
    assert.equal(shown.FairCommitment1, native.out.commitment1 || '', what);
    assert.equal(shown.FairCommitment2, native.out.commitment2 || '', what);
    assert.equal(new URL(shown.FairLink).hash, '#fair:' + native.out.verification, what);

    // The thread: the commitments the players posted (when they used salts,
    // mostly), and logs pasted as copied, sometimes with their captions.
    const players = {};
    for (const d of [1, 2]) if (duel['salt' + d] && rnd() < 0.7) players['commitment' + d] = native.out['commitment' + d];
    const verification = cliRun(['fair', 'verify'], posted(native.out, players));
    assert.equal(verification.status, 0, JSON.stringify(verification.out));
    assert.deepEqual(shown.readings, verification.out.readings, what);
    const copied = rnd() < 0.3;
    const thread = { ...native.out, ...players, commitment1: players.commitment1, commitment2: players.commitment2 };
    if (copied) {
      thread.InfoBM1 = `Ходы бойца №1:\n${thread.InfoBM1} `;
      thread.InfoBM2 = ` ${thread.InfoBM2}\n`;
    }
    const check = await checkPasted(page, shown.FairLink, thread);
    assert.ok(verified(check.FairVerdict), what);
    assert.equal(check.FairVerdict.includes(text('kFairVerifiedPlayers')), Object.keys(players).length > 0);
    assert.equal(check.FairCheckNote === '', !copied, check.FairCheckNote);
    assert.deepEqual(check.readings, verification.out.readings, what);
    assert.equal(check.FairCheckCommitment, verification.out.commitment);
    assert.equal(check.FairCheckCommitment1, verification.out.commitment1 || '');
    assert.equal(check.FairCheckCommitment2, verification.out.commitment2 || '');
    assert.deepEqual([check.InfoBM1, check.InfoBM2, check.ErrorText],
      [verification.out.replayed.InfoBM1, verification.out.replayed.InfoBM2, verification.out.replayed.ErrorText]);
    await page.click('#GoExit');
    await settled(page);

    seen.fought += 1;
    seen.salted += duel.salt1 || duel.salt2 ? 1 : 0;
    seen.playersCompared += Object.keys(players).length > 0 ? 1 : 0;
    seen.cleaned += copied ? 1 : 0;
    seen.longest = Math.max(seen.longest, shown.InfoBM1.split(' |').length - 2);
  }
  assert.ok(seen.fought >= 70 && seen.refused >= 3 && seen.longest === 100 && seen.salted >= 40 &&
    seen.playersCompared >= 20 && seen.cleaned >= 10, JSON.stringify(seen));
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

describe('the known answers of docs/fair-vectors.json', () => {
  const vectors = JSON.parse(fs.readFileSync(path.join(root, 'docs', 'fair-vectors.json'), 'utf8'));
  const fought = vectors.cases.filter((c) => c.verification);

  test('every case fought on the page: its link, readings, commitments and logs; a refused one its message alone',
    async () => {
      const page = await open(browser);
      for (const c of vectors.cases) {
        const shown = await fairFight(page, { ...c, fields: c.request });
        assert.equal(shown.FairCommitment, c.commitment, c.name);
        if (!c.verification) {
          assert.deepEqual([shown.FairMessage, shown.ErrorText, shown.InfoBM1, shown.FairLink],
            [c.ErrorText, c.ErrorText, '', ''], c.name);
          continue;
        }
        assert.equal(new URL(shown.FairLink).hash, '#fair:' + c.verification, c.name);
        assert.deepEqual(shown.readings, c.readings, c.name);
        assert.deepEqual([shown.FairCommitment1, shown.FairCommitment2], [c.commitment1 || '', c.commitment2 || ''],
          c.name);
        assert.deepEqual([shown.InfoBM1, shown.InfoBM2, shown.ErrorText], [c.InfoBM1, c.InfoBM2, c.ErrorText], c.name);
      }
      assert.ok(vectors.cases.length - fought.length >= 5 && fought.some((c) => c.salt1 && c.salt2));
      assert.deepEqual(page.errors, []);
      await page.context().close();
    });

  test('every case\'s link opened and checked: the canonical request, the commitments, the readings, the duel',
    async () => {
      for (const c of fought) {
        const page = await open(browser, { fragment: '#fair:' + c.verification });
        const request = await page.evaluate(() => window.Saberline.readDuelFields());
        assert.deepEqual(request, c.canonical_request, c.name);
        const check = await checkOpened(page, c);
        assert.ok(verified(check.FairVerdict), c.name);
        assert.equal(check.FairCheckWords, textWith('kFairCheckWords', c.word1, c.word2));
        assert.deepEqual([check.FairCheckCommitment, check.FairCheckCommitment1, check.FairCheckCommitment2],
          [c.commitment, c.commitment1 || '', c.commitment2 || ''], c.name);
        assert.deepEqual(check.readings, c.readings, c.name);
        assert.deepEqual([check.InfoBM1, check.InfoBM2, check.ErrorText], [c.InfoBM1, c.InfoBM2, c.ErrorText]);
        await page.context().close();
      }
    });

  test('every player\'s commitment made on the page with the case\'s salt', async () => {
    const page = await open(browser);
    const cases = [...vectors.player_commitments,
      ...fought.flatMap((c) => [1, 2].filter((d) => c['salt' + d])
        .map((d) => ({ word: c['word' + d], salt: c['salt' + d], commitment: c['commitment' + d] })))];
    for (const c of cases) {
      // The browser's random source gives the case's salt once.
      await page.evaluate((salt) => {
        const original = crypto.getRandomValues;
        crypto.getRandomValues = (array) => {
          crypto.getRandomValues = original;
          array.set(salt.match(/../g).map((b) => parseInt(b, 16)));
          return array;
        };
      }, c.salt);
      await typeInto(page, { FairPlayerWord: c.word });
      await page.click('#FairPlayerCommit');
      if (await modal(page)) await page.click('#ModalYes');
      await settled(page);
      assert.deepEqual(await read(page, ['FairPlayerShownWord', 'FairPlayerSalt', 'FairPlayerCommitment']),
        { FairPlayerShownWord: c.word, FairPlayerSalt: c.salt, FairPlayerCommitment: c.commitment });
    }
    assert.ok(cases.length >= 7);
    await page.context().close();
  });
});

test('a player\'s commitment: a fresh salt each time, the commitment saberline-cli gives, copy buttons', async () => {
  const page = await open(browser);
  await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
  const salts = new Set();
  for (const word of ['0', '1523', '18446744073709551615']) {
    await typeInto(page, { FairPlayerWord: word });
    await page.click('#FairPlayerCommit');
    if (await modal(page)) await page.click('#ModalYes');
    await settled(page);
    const shown = await read(page, ['FairPlayerShownWord', 'FairPlayerSalt', 'FairPlayerCommitment']);
    assert.equal(shown.FairPlayerShownWord, word);
    assert.match(shown.FairPlayerSalt, /^[0-9a-f]{64}$/);
    salts.add(shown.FairPlayerSalt);
    const native = cliFair({ secret: 'ab'.repeat(32), word1: word, salt1: shown.FairPlayerSalt, word2: '1',
      fields: { TypeBattle: 1, BP1: '30', ...pistolDuel } });
    assert.equal(shown.FairPlayerCommitment, native.out.commitment1, word);
    for (const [button, field] of [['FairCopyPlayerWord', 'FairPlayerShownWord'],
      ['FairCopyPlayerSalt', 'FairPlayerSalt'], ['FairCopyPlayerCommitment', 'FairPlayerCommitment']]) {
      await page.click('#' + button);
      assert.equal(await page.evaluate(() => navigator.clipboard.readText()), shown[field], button);
    }
  }
  assert.equal(salts.size, 3);
  // Word and salt are copied with a warning beside them.
  for (const button of ['FairCopyPlayerWord', 'FairCopyPlayerSalt'])
    assert.equal(await page.getAttribute('#' + button, 'aria-describedby'), 'FairPlayerWarning');
  assert.match(await page.textContent('#FairPlayerWarning'), /не публикуйте/);

  // A word is refused as saberline-cli's `fair commit --word` refuses it,
  // and the last commitment stays.
  const before = await read(page, ['FairPlayerShownWord', 'FairPlayerSalt', 'FairPlayerCommitment']);
  const refusals = [
    ['', text('kFairPlayerWordOwner') + text('kFairWordEmpty')],
    ['0101', text('kFairPlayerWordOwner') + text('kFairWordLeadingZero')],
    ['1'.repeat(21), text('kFairPlayerWordOwner') + textWith('kFairWordTooLong', 20)],
    [' 1523', text('kFairPlayerWordOwner') + text('kFairWordNotDigit')],
    ['１５', text('kFairPlayerWordOwner') + text('kFairWordNotAscii')],
  ];
  for (const [word, message] of refusals) {
    assert.equal(spawnSync(cliPath, ['fair', 'commit', '--word', word]).status, 2, word);
    await typeInto(page, { FairPlayerWord: word });
    await page.click('#FairPlayerCommit');
    await settled(page);
    assert.equal(await page.textContent('#FairPlayerMessage'), message);
    assert.deepEqual(await read(page, ['FairPlayerShownWord', 'FairPlayerSalt', 'FairPlayerCommitment']), before);
  }
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('making the referee\'s commitment: a fresh secret, its SHA-256, copy buttons', async () => {
  const page = await open(browser);
  await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
  assert.deepEqual([await page.isDisabled('#FairCopySecret'), await page.isDisabled('#FairCopyCommitment')],
    [true, true]);
  const secrets = new Set();
  for (let i = 0; i < 3; ++i) {
    await page.click('#FairCommit');
    if (i > 0) await page.click('#ModalYes');
    await settled(page);
    const { FairSecret, FairCommitment } = await read(page, ['FairSecret', 'FairCommitment']);
    assert.match(FairSecret, /^[0-9a-f]{64}$/);
    assert.equal(FairCommitment, sha256(FairSecret));
    secrets.add(FairSecret);
    await page.click('#FairCopySecret');
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), FairSecret);
    await page.click('#FairCopyCommitment');
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), FairCommitment);
  }
  assert.equal(secrets.size, 3);
  assert.equal(await page.getAttribute('#FairCopySecret', 'aria-describedby'), 'FairSecretWarning');
  assert.match(await page.textContent('#FairSecretWarning'), /^Секрет не показывайте никому до боя/);
  // A secret typed or pasted shows its commitment too; a malformed one none,
  // and one with a space is malformed, as for saberline-cli.
  await typeInto(page, { FairSecret: '00'.repeat(32) });
  await page.evaluate(() => window.SaberlineFair.commitmentShown());
  assert.equal((await read(page, ['FairCommitment'])).FairCommitment,
    '66687aadf862bd776c8fc18b8e9f8e20089714856ee233b3902a591d0d5f2925');
  for (const secret of ['00'.repeat(31), ' ' + '00'.repeat(32)]) {
    await typeInto(page, { FairSecret: secret });
    assert.equal((await read(page, ['FairCommitment'])).FairCommitment, '');
    assert.equal(await page.isDisabled('#FairCopyCommitment'), true);
  }
  await page.context().close();
});

test('bad input: the reason in Russian, as saberline-cli refuses it, and no duel and no link', async () => {
  const page = await open(browser);
  const good = { secret: 'ab'.repeat(32), word1: '1523', word2: '1524', fields: { TypeBattle: 1, BP1: '30', ...pistolDuel } };
  const notAscii = text('kFairWordNotAscii');
  const notDigit = text('kFairWordNotDigit');
  const secretBad = text('kFairSecretBad');
  const saltBad = (d) => textWith('kFairSaltBad', text('kFairSaltOwner' + d));
  const cases = [
    [{ secret: 'ab'.repeat(31) }, secretBad],
    [{ secret: 'zz'.repeat(32) }, secretBad],
    [{ secret: 'ab'.repeat(32) + ' ' }, secretBad],
    [{ word1: '' }, text('kFairWordOwner1') + text('kFairWordEmpty')],
    [{ word2: '' }, text('kFairWordOwner2') + text('kFairWordEmpty')],
    [{ word2: '1'.repeat(21) }, text('kFairWordOwner2') + textWith('kFairWordTooLong', 20)],
    [{ word1: '0101' }, text('kFairWordOwner1') + text('kFairWordLeadingZero')],
    [{ word1: '1523\u200b' }, text('kFairWordOwner1') + notAscii],
    [{ word2: '\uff11\uff15' }, text('kFairWordOwner2') + notAscii],
    [{ word1: 'Пoст' }, text('kFairWordOwner1') + notAscii],
    [{ word1: '+1523' }, text('kFairWordOwner1') + notDigit],
    [{ word2: ' 1524' }, text('kFairWordOwner2') + notDigit],
    [{ word1: 'a\tb' }, text('kFairWordOwner1') + notDigit],
    [{ salt1: 'ab'.repeat(31) }, saltBad(1)],
    [{ salt2: ' ' + 'ab'.repeat(32) }, saltBad(2)],
    [{ salt2: 'ab'.repeat(32) + '\u200b' }, saltBad(2)],
    [{ fields: { ...good.fields, ShAtack1: '12\t' } },
      textWith('kFairFieldControl', 'ShAtack1')],
  ];
  for (const [change, message] of cases) {
    const duel = { ...good, ...change };
    const native = cliFair(duel);
    assert.deepEqual([native.status, native.out], [2, null], JSON.stringify(change));
    await page.evaluate(() => { document.getElementById('InfoBM1').value = 'before'; });
    const shown = await fairFight(page, duel);
    assert.equal(shown.FairMessage, message, JSON.stringify(change));
    assert.equal(shown.FairLink, '');
    assert.equal(shown.InfoBM1, 'before');
  }
  // 20 digits are a word, and a salt in capitals is a salt, for both.
  const duel = { ...good, word1: '18446744073709551615', salt1: 'AB'.repeat(32) };
  const shown = await fairFight(page, duel);
  assert.equal(shown.FairMessage, '');
  assert.equal(new URL(shown.FairLink).hash, '#fair:' + cliFair(duel).out.verification);
  await page.context().close();
});

describe('a secret is never lost silently', () => {
  const secretText = text('kFairSecretAtRisk');
  const saltText = text('kFairSaltAtRisk');
  const question = ' ' + text('kFairLoseQuestion');

  // What makes something at risk, and what it is.
  const risks = {
    secret: [async (page) => { await page.click('#FairCommit'); await settled(page); }, 'FairSecret'],
    salt: [async (page) => {
      await typeInto(page, { FairPlayerWord: '7' });
      await page.click('#FairPlayerCommit');
      await settled(page);
    }, 'FairPlayerSalt'],
  };
  // [at risk, what would lose it, the question's text]
  const cases = [
    ['secret', 'FairCommit', secretText + question],
    ['secret', 'GoExit', secretText + question],
    ['secret', 'OpenPastedLink', secretText + question],
    ['salt', 'FairPlayerCommit', saltText + question],
    ['salt', 'GoExit', saltText + question],
    ['salt', 'OpenPastedLink', saltText + question],
  ];
  for (const [risk, action, asked] of cases) {
    test(`${action} while a ${risk} is at risk asks first: «Нет» keeps it, «Да» goes on`, async () => {
      const page = await open(browser);
      const [makeRisk, field] = risks[risk];
      await makeRisk(page);
      if (action === 'FairPlayerCommit') await typeInto(page, { FairPlayerWord: '8' });
      const kept = (await read(page, [field]))[field];
      assert.match(kept, /^[0-9a-f]{64}$/);
      await page.click('#' + action);
      assert.deepEqual(await modal(page), { title: 'saberline', text: asked,
        buttons: [text('kQuestionYes'), text('kQuestionNo')], focused: text('kQuestionYes') });
      await page.click('#ModalNo');
      await settled(page);
      assert.equal((await read(page, [field]))[field], kept);
      await page.click('#' + action);
      await page.click('#ModalYes');
      await settled(page);
      const after = (await read(page, [field]))[field];
      assert.notEqual(after, kept);
      assert.equal(await modal(page), null);
      await page.context().close();
    });
  }

  test('both at risk: one question names both', async () => {
    const page = await open(browser);
    await risks.secret[0](page);
    await risks.salt[0](page);
    await page.click('#GoExit');
    assert.equal((await modal(page)).text, `${secretText} ${saltText}${question}`);
    await page.context().close();
  });

  test('a secret whose duel was fought, or none at all, is lost without a question', async () => {
    const page = await open(browser);
    await page.click('#GoExit');
    assert.equal(await modal(page), null);
    await settled(page);
    await page.click('#FairCommit');
    await settled(page);
    // A duel the rules refuse reveals nothing: the secret still serves.
    await typeInto(page, { FairWord1: '1', FairWord2: '2', BP1: '0' });
    await page.click('#FairBattle');
    await settled(page);
    await page.click('#GoExit');
    assert.notEqual(await modal(page), null);
    await page.click('#ModalNo');
    await settled(page);
    await typeInto(page, { BP1: '30', ...pistolDuel });
    await page.click('#FairBattle');
    await settled(page);
    assert.notEqual((await read(page, ['FairLink'])).FairLink, '');
    await page.click('#FairCommit');
    assert.equal(await modal(page), null);
    await settled(page);
    await page.context().close();
  });

  test('leaving the page asks first while a secret or a salt is at risk, and only then', async () => {
    for (const [risk, asks] of [['secret', true], ['salt', true], [null, false]]) {
      const page = await open(browser);
      if (risk) await risks[risk][0](page);
      else await page.click('#GoBattle');  // the page is used, but nothing is at risk
      const dialogs = [];
      page.on('dialog', (dialog) => { dialogs.push(dialog.type()); dialog.dismiss(); });
      await page.close({ runBeforeUnload: true });
      await new Promise((resolve) => setTimeout(resolve, 300));
      assert.deepEqual(dialogs, asks ? ['beforeunload'] : [], String(risk));
      await page.context().close();
    }
  });
});

describe('what is shown goes as soon as the fields change', () => {
  const secret = '5c955235ed9cf2e4dedac1caaecb4a58b678a6026fa31b6e7505e48a990aacba';
  const salt1 = '11'.repeat(32);
  const fields = { TypeBattle: 1, BP1: '30', ...pistolDuel };
  // [what, how it is edited, where: after a fair duel ('duel') or a check
  // (then whether checking again verifies)]
  const edits = [
    ['a duel field typed', (page) => page.fill('#BP1', '31'), ['duel', true]],
    ['a duel field emptied and typed back', async (page) => { await page.fill('#BP1', ''); await page.fill('#BP1', '30'); },
      ['duel', true]],
    ['the duel type', (page) => page.click('#TypeBattle3'), ['duel', true]],
    ['a scheme generated', (page) => page.click('#GenShAttack1'), ['duel', true]],
    ['a word', (page) => page.fill('#FairWord1', '1522'), ['duel']],
    ['a salt', (page) => page.fill('#FairSalt1', ''), ['duel']],
    ['the secret', (page) => page.fill('#FairSecret', 'ab'.repeat(32)), ['duel']],
    ['the posted commitment', (page) => page.type('#FairPostedCommitment', ' '), [false]],
    ['a posted player\'s commitment', (page) => page.fill('#FairPostedCommitment1', ''), [true]],
    ['a posted log', (page) => page.type('#FairPostedLog1', 'x'), [false]],
    ['the posted message', (page) => page.fill('#FairPostedMessage', 'x'), [false]],
  ];
  let duel;
  before(() => { duel = cliFair({ secret, word1: '1523', word2: '1524', salt1, fields }).out; });

  for (const [what, edit, where] of edits.filter(([, , w]) => w.some((x) => typeof x === 'boolean'))) {
    const verifiesAgain = where.find((x) => typeof x === 'boolean');
    test(`after a check: ${what}`, async () => {
      const page = await open(browser, { fragment: '#fair:' + duel.verification });
      const checked = await checkOpened(page, duel);
      assert.ok(verified(checked.FairVerdict), checked.FairVerdict);
      assert.equal(checked.InfoBM1, duel.InfoBM1);
      await edit(page);
      await settled(page);
      const shown = await read(page, ['FairVerdict', 'InfoBM1', 'InfoBM2']);
      assert.deepEqual(shown, {
        FairVerdict: text('kFairEditedAfterCheck'),
        InfoBM1: '', InfoBM2: '',
      });
      // Checking again checks the link, whose request fills the duel screen again.
      await page.click('#FairCheckButton');
      const again = await read(page, ['FairVerdict', 'BP1', 'TypeBattle1', 'ShAtack1']);
      assert.equal(verified(again.FairVerdict), verifiesAgain, again.FairVerdict);
      assert.deepEqual([again.BP1, again.TypeBattle1, again.ShAtack1], ['30', true, '']);
      await page.context().close();
    });
  }

  test('after a fair duel: every duel field, word, salt and the secret', async () => {
    const page = await open(browser);
    for (const [what, edit] of edits.filter(([, , where]) => where.includes('duel'))) {
      const shown = await fairFight(page, { secret, word1: '1523', word2: '1524', salt1, fields });
      assert.equal(shown.InfoBM1, duel.InfoBM1, what);
      await edit(page);
      await settled(page);
      assert.deepEqual(await read(page, ['FairMessage', 'FairLink', 'InfoBM1', 'FairCommitment1']), {
        FairMessage: text('kFairEditedAfterDuel'),
        FairLink: '', InfoBM1: '', FairCommitment1: '',
      }, what);
      assert.equal(await page.isDisabled('#FairCopyLink'), true);
    }
    // The link's own field, the pasted link and the player's part are not the duel's.
    const shown = await fairFight(page, { secret, word1: '1523', word2: '1524', salt1, fields });
    await page.fill('#PastedLink', 'x');
    await page.fill('#FairPlayerWord', '5');
    assert.deepEqual(await read(page, ['FairLink', 'InfoBM1']), { FairLink: shown.FairLink, InfoBM1: duel.InfoBM1 });
    await page.context().close();
  });
});

describe('opening a verification link', () => {
  const request = {
    TypeBattle: 3, BP1: '300', OgnOr1: '6', HolOr1: '8', StrZ1: '2', StrSt11: '1', StrSt12: '3', StrSt13: '5',
    StrSt14: '', ShAtack1: '246135', BP2: '280', OgnOr2: '7', HolOr2: '6', StrZ2: '0', StrSt21: '2',
    StrSt22: '4', StrSt23: '6', StrSt24: '1', ShAtack2: '531',
  };
  const secret = '5c955235ed9cf2e4dedac1caaecb4a58b678a6026fa31b6e7505e48a990aacba';
  const salts = { salt1: '0f'.repeat(32), salt2: 'e1'.repeat(32) };
  let duel;
  let salted;
  let base;
  before(() => {
    duel = cliRun(['fair', 'duel', '--secret', secret, '--word1', '1523', '--word2', '1524'], request).out;
    salted = cliFair({ secret, word1: '1523', word2: '1524', ...salts, fields: request }).out;
    base = pageUrl + '#fair:';
  });

  // What the page shows after opening a link and checking it against `thread`.
  async function checkLink(link, thread) {
    const page = await open(browser, { url: link });
    const opened = await read(page, ['FairVerdict', 'FairCheckCommitment', 'FairCheckWords', 'InfoBM1', 'InfoBM2']);
    const after = await checkOpened(page, thread);
    after.BP1 = (await read(page, ['BP1'])).BP1;
    after.errors = page.errors;
    await page.context().close();
    return { before: opened, after };
  }

  test('a good link verifies against the posted commitment and logs, and shows the duel', async () => {
    const { before: opened, after } = await checkLink(base + duel.verification, duel);
    assert.equal(opened.FairCheckCommitment, duel.commitment);
    assert.equal(opened.FairCheckWords, textWith('kFairCheckWords', 1523, 1524));
    assert.equal(opened.FairVerdict, text('kFairEnterCommitment'));
    assert.equal(opened.InfoBM1, '', 'no logs before the check');
    assert.ok(verified(after.FairVerdict), after.FairVerdict);
    assert.doesNotMatch(after.FairVerdict, /обязательств[а-я]* игрок/, 'no players\' commitments spoken of');
    assert.deepEqual([after.InfoBM1, after.InfoBM2, after.ErrorText], [duel.InfoBM1, duel.InfoBM2, duel.ErrorText]);
    assert.equal(after.BP1, '300');
    assert.equal(after.FairCheckNote, '');
    assert.deepEqual(after.errors, []);
  });

  test('the check comes into view with the referee\'s and the player\'s parts out of the way, until the exit',
    async () => {
      for (const viewport of [{ width: 360, height: 740 }, { width: 1280, height: 900 }]) {
        const page = await open(browser, { url: base + salted.verification, viewport });
        const parts = () => page.evaluate(() => ['FairReferee', 'FairPlayer', 'FairCheck']
          .map((id) => document.getElementById(id).getClientRects().length > 0));
        assert.deepEqual(await parts(), [false, false, true]);
        const box = await page.evaluate(() => {
          const r = document.getElementById('FairVerdict').getBoundingClientRect();
          return { top: r.top, bottom: r.bottom, view: innerHeight };
        });
        assert.ok(box.top >= 0 && box.bottom <= box.view, JSON.stringify(box));
        await page.click('#GoExit');
        await settled(page);
        assert.deepEqual(await parts(), [true, true, false]);
        await page.context().close();
      }
    });

  test('a duel fought the ordinary way afterwards is not taken for the verified one', async () => {
    const page = await open(browser, { url: base + duel.verification });
    const { FairVerdict } = await checkOpened(page, duel);
    assert.ok(verified(FairVerdict), FairVerdict);
    await page.click('#GoBattle');
    const shown = await read(page, ['FairVerdict', 'InfoBM1']);
    assert.equal(shown.FairVerdict, '');
    assert.equal(await page.isHidden('#FairCheck'), true);
    assert.notEqual(shown.InfoBM1, '');
    await page.context().close();
  });

  test('the commitment alone is not enough to show the duel', async () => {
    const { after } = await checkLink(base + duel.verification, { commitment: duel.commitment, InfoBM1: '', InfoBM2: '', ErrorText: '' });
    assert.equal(after.FairVerdict, text('kFairEnterLogs'));
    assert.equal(after.InfoBM1, '');
  });

  // The players' commitments as posted: [what, the link, posted, saberline-cli's
  // status, what the page says].
  const c1 = () => salted.commitment1;
  const c2 = () => salted.commitment2;
  const other = (c) => c.slice(0, 63) + (c[63] === 'a' ? 'b' : 'a');
  const players = [
    ['both posted and right', () => salted, () => ({ commitment1: c1(), commitment2: c2() }), 0,
      (v) => verified(v) && v.endsWith(text('kFairVerifiedPlayers'))],
    ['both posted in capitals', () => salted, () => ({ commitment1: c1().toUpperCase(), commitment2: c2().toUpperCase() }),
      0, verified],
    ['one posted, the other left out', () => salted, () => ({ commitment1: c1() }), 0,
      (v) => verified(v) && v.endsWith(notCompared('kFairDiffersCommitment2'))],
    ['none posted', () => salted, () => ({}), 0,
      (v) => verified(v) && v.endsWith(notCompared('kFairDiffersCommitment1', 'kFairDiffersCommitment2'))],
    ['player 1\'s differs', () => salted, () => ({ commitment1: other(c1()), commitment2: c2() }), 1,
      (v) => v === differ('kFairDiffersCommitment1')],
    ['both differ', () => salted, () => ({ commitment1: c2(), commitment2: c1() }), 1,
      (v) => v === differ('kFairDiffersCommitment1', 'kFairDiffersCommitment2')],
    ['posted where the link has no salt', () => duel, () => ({ commitment2: c2() }), 1,
      (v) => v === differ('kFairDiffersCommitment2')],
    ['with a space', () => salted, () => ({ commitment1: c1() + ' ' }), 2,
      (v) => v === textWith('kFairCommitmentBad', text('kFairPostedCommitment1'))],
    ['too short', () => salted, () => ({ commitment2: c2().slice(1) }), 2,
      (v) => v === textWith('kFairCommitmentBad', text('kFairPostedCommitment2'))],
  ];
  for (const [what, link, extra, status, verdict] of players) {
    test(`players' commitments ${what}: as fair verify says (status ${status})`, async () => {
      const thread = { ...link(), commitment1: undefined, commitment2: undefined, ...extra() };
      const native = cliRun(['fair', 'verify'], posted(link(), extra()));
      assert.equal(native.status, status, native.err);
      const { after } = await checkLink(base + link().verification, thread);
      assert.ok(verdict(after.FairVerdict), after.FairVerdict);
      if (status === 1) assert.equal(after.differs, native.out.differs.join(','));
      assert.equal(after.InfoBM1, status === 0 ? link().InfoBM1 : '');
    });
  }

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
    ['the posted commitment', (v) => v, { commitment: (c) => other(c) }, /^commitment$/],
  ];
  for (const [what, tamper, postedTamper, differs] of tampers) {
    test(`a changed ${what} does not verify and shows no logs`, async () => {
      const thread = { ...duel };
      for (const [key, change] of Object.entries(postedTamper || {})) thread[key] = change(thread[key]);
      const { after } = await checkLink(base + tamper(duel.verification), thread);
      assert.ok(notVerified(after.FairVerdict), after.FairVerdict);
      assert.match(after.differs, differs);
      assert.equal(after.InfoBM1, '');
      assert.equal(after.InfoBM2, '');
    });
  }

  test('pasted logs: what copying adds is left out, and said; anything else is not', async () => {
    const page = await open(browser, { url: base + duel.verification });
    const note = (names) => textWith('kFairPastedCleaned', names);
    // [the posted texts, verified, the note]
    const cases = [
      [{}, true, ''],
      [{ InfoBM1: duel.InfoBM1 + ' ' }, true, note(text('kFairDiffersInfoBM1'))],
      [{ InfoBM1: `Ходы бойца №1: ${duel.InfoBM1}`, InfoBM2: `Ходы бойца №2:${duel.InfoBM2}` }, true,
        note(text('kFairDiffersInfoBM1') + ', ' + text('kFairDiffersInfoBM2'))],
      [{ InfoBM2: `\u00a0 Ходы бойца №2:\u00a0${duel.InfoBM2}\t` }, true, note(text('kFairDiffersInfoBM2'))],
      [{ ErrorText: ' ' }, true, note(text('kFairDiffersErrorText'))],
      // Another field's caption, a caption inside the text, a changed caption.
      [{ InfoBM1: `Ходы бойца №2: ${duel.InfoBM1}` }, false, ''],
      [{ InfoBM1: `${duel.InfoBM1} Ходы бойца №1:` }, false, ''],
      [{ InfoBM1: `Ходы бойца 1: ${duel.InfoBM1}` }, false, ''],
    ];
    for (const [texts, verifies, said] of cases) {
      const check = await checkOpened(page, { ...duel, ...texts });
      assert.equal(verified(check.FairVerdict), verifies, JSON.stringify(texts) + check.FairVerdict);
      if (verifies) assert.equal(check.FairCheckNote, said, JSON.stringify(texts));
    }
    await page.context().close();
  });

  test('a malformed link says why and shows nothing', async () => {
    const links = [
      [base + duel.verification.replace('&word2=', '&word2=%ZZ'),
        textWith('kFairLinkBadCharacter', 'word2')],
      [base + duel.verification.split('&word2=')[0], textWith('kFairLinkMissingItem', 'word2')],
      [base + 'saberline-fair-v9&x=1', textWith('kFairLinkWrongVersion', 'saberline-fair-v9', 'saberline-fair-v2')],
      [base + duel.verification.replace('saberline-fair-v2', 'saberline-fair-v1'),
        textWith('kFairLinkWrongVersion', 'saberline-fair-v1', 'saberline-fair-v2')],
      [base + duel.verification.replace('&word1=1523', '&word1=01523'),
        text('kFairWordOwner1') + text('kFairWordLeadingZero')],
      // A cold-weapon duel reads no firearm points: one duel, one link.
      [base + replaced(duel.verification, 'TypeBattle', '2'),
        textWith('kFairLinkNotCanonical', 'OgnOr1')],
      [base + replaced(duel.verification, 'BP1', '0'),
        text('kFairLinkRequestRefused') + text('kInputError')],
    ];
    for (const [link, reason] of links) {
      const page = await open(browser, { url: link });
      const shown = await read(page, ['FairVerdict', 'InfoBM1', 'InfoBM2', 'BP1', 'PageNotice']);
      assert.equal(shown.FairVerdict, text('kFairLinkBad') + reason);
      assert.equal(shown.InfoBM1, '');
      assert.equal(shown.BP1, '30', 'the fields stay as at start-up');
      assert.equal(shown.PageNotice, '', 'not taken for a duel link');
      await page.context().close();
    }
  });

  test('the page and saberline-cli accept exactly the same verifications and commitments', async () => {
    const v = duel.verification;
    const c = duel.commitment;
    // [the verification as pasted, the commitment as pasted]
    const texts = [
      [v, c], ['fair:' + v, c], [base + v, c], ['https://форум.example/тема/saberline.html#fair:' + v, c],
      [' ' + base + v, c], [v, c.toUpperCase()],
      [v + ' ', c], [' ' + v, c], ['fair:' + v + '\t', c], [' fair:' + v, c],
      [v.replace('word1=1523', 'word1=１５２３'), c], [v.replace('&word2=1524', '&word2=1524 '), c],
      [v.replace('&word2=1524', '&word2=15%2024'), c], [v.replace('&BP1=300', '&BP1=300ü'), c],
      [v.replace(secret, secret.toUpperCase()), c], [v.replace('&word2=', '&&word2='), c],
      [v, ' ' + c], [v, c + ' '], [v, c + '\u200b'], [v, c.slice(1)], [v, c.slice(0, 63) + '\uff10'],
    ];
    const page = await open(browser);
    let accepted = 0;
    for (const [verification, commitment] of texts) {
      const what = JSON.stringify([verification, commitment]);
      const native = cliRun(['fair', 'verify'], { ...posted(duel), verification, commitment });
      assert.ok(native.status === 0 || native.status === 2, what + native.err);
      const check = await checkPasted(page, verification, { ...duel, commitment });
      const notice = (await read(page, ['PageNotice'])).PageNotice;
      const pageAccepts = verified(check.FairVerdict);
      assert.equal(pageAccepts, native.status === 0, `${what}: ${check.FairVerdict} ${notice} / ${native.err}`);
      if (!pageAccepts) assert.ok(check.FairVerdict.startsWith(text('kFairLinkBad')) ||
        check.FairVerdict.startsWith(textWith('kFairCommitmentBad', text('kFairPostedCommitment'))) ||
        notice !== '', what);
      accepted += pageAccepts ? 1 : 0;
    }
    assert.equal(accepted, 6);
    // A refused link with spaces around it says so.
    await typeInto(page, { PastedLink: base + v + ' ' });
    await page.click('#OpenPastedLink');
    await settled(page);
    assert.ok((await page.textContent('#FairVerdict')).endsWith('.' + text('kFairLinkSpaces')));
    await page.context().close();
  });
});

describe('a failure of the browser\'s cryptography is never "does not verify"', () => {
  const failed = text('kFairCryptoFailed');
  const none = text('kFairNoCrypto');
  // [what, the script that breaks it, the page's words, whether the link is read before]
  const breaks = [
    ['HMAC refused', () => { crypto.subtle.sign = () => Promise.reject(new Error('broken')); }, failed],
    ['SHA-256 refused', () => { crypto.subtle.digest = () => Promise.reject(new Error('broken')); }, failed],
    ['signatures of the wrong length', () => {
      const sign = crypto.subtle.sign.bind(crypto.subtle);
      crypto.subtle.sign = async (...args) => (await sign(...args)).slice(1);
    }, failed],
    ['no Web Crypto at all', () => { Object.defineProperty(crypto, 'subtle', { value: undefined }); }, none],
  ];
  let duel;
  before(() => { duel = cliRun(['fair', 'duel', '--secret', 'ab'.repeat(32), '--word1', '1', '--word2', '2'], { TypeBattle: 1, BP1: '30', ...pistolDuel }).out; });
  // What the page says once it has done what it can: the error box's text
  // (the box then closed) or else the text of `id`.
  async function said(page, id) {
    await page.waitForFunction((i) => !document.getElementById('ModalLayer').hidden ||
      (document.documentElement.dataset.ready === 'true' && document.getElementById(i).textContent !== ''), id);
    const box = await modal(page);
    if (!box) return (await read(page, [id]))[id];
    await page.click('#ModalOk');
    await settled(page);
    return box.text;
  }
  for (const [what, script, words] of breaks) {
    test(`${what}: the check and the fair duel say so, never a verdict`, async () => {
      const context = await browser.newContext();
      await context.addInitScript(script);
      const page = await context.newPage();
      await page.goto(pageUrl + '#fair:' + duel.verification);
      const opened = await said(page, 'FairVerdict');
      assert.ok(opened === words || opened === text('kFairEnterCommitment'), opened);
      const check = await checkOpened(page, duel);
      assert.equal(check.FairVerdict, words);
      assert.equal(check.InfoBM1, '');
      // The referee's fair duel: the same words, no link, no logs.
      await page.click('#GoExit');
      await settled(page);
      await typeInto(page, { FairSecret: 'ab'.repeat(32), FairWord1: '1', FairWord2: '2', ...pistolDuel });
      await page.click('#FairBattle');
      assert.equal(await said(page, 'FairMessage'), words);
      assert.deepEqual(await read(page, ['FairLink', 'InfoBM1']), { FairLink: '', InfoBM1: 'Ещё не рассчитано!' });
      await context.close();
    });
  }
});
