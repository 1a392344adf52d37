'use strict';
// The fair duel on the page against saberline-cli and the published known
// answers, through clicks, typing and pastes: the same secret, words, salts,
// commitments and request give the same readings, logs, commitments and
// verification; the referee's commitment binds the duel screen; drawn words;
// the revealed secret checked; the page's verification link checks against
// what was posted as `fair verify` checks it; the page and the command line
// accept exactly the same texts; a tampered link never shows its logs; what
// is shown goes when the fields change; nothing that cannot be rebuilt is
// lost silently; the forum post holds the proof.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const nodeCrypto = require('node:crypto');
const { spawnSync } = require('node:child_process');
const { launch, open, read, cliPath, random, duelFields, modal, pageUrl, pistolDuel, playerCommitment, root, text,
  textWith, facts } = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// saberline-cli with a JSON input: status, parsed output and standard error.
function cliRun(args, input) {
  const run = spawnSync(cliPath, args, { input: JSON.stringify(input), encoding: 'utf8' });
  return { status: run.status, out: run.stdout ? JSON.parse(run.stdout) : null, err: run.stderr };
}

const empty = Object.fromEntries(duelFields.map((name) => [name, '']));
const zeros = '0'.repeat(64);
const pistols = { TypeBattle: 1, BP1: '30', ...pistolDuel };
// The referee's commitment for a secret and a request, as saberline-cli
// works it out (null for a request the rules refuse).
function refereeCommitment(secret, fields) {
  const run = cliRun(['fair', 'check-secret', '--secret', secret, '--commitment', zeros], fields);
  return run.out ? run.out.commitment : null;
}
// The end of the handler a click started (the page's handlers may wait for
// the browser's cryptography).
const settled = (page) => page.evaluate(() => window.Saberline.settled());
// The check's verdicts, from the core's texts.
const verified = (verdict) => verdict.startsWith(text('kFairVerified'));
const notVerified = (verdict) => verdict.startsWith(text('kFairNotVerified'));
// A name as a verdict gives it: one of the duel screen's outputs by its
// name in the core's table of them, anything else by its text's name.
const nameOf = (name) => (facts.duelResults.find((result) => result.name === name) || {}).differsName || text(name);
const named = (names) => names.map(nameOf).join(', ');
const differ = (...names) => text('kFairNotVerified') + named(names) + '.';

// Types each text into its field as a person does (the field focused, its
// text replaced by the typed one); fields that already hold it are left.
async function typeInto(page, texts) {
  const now = await read(page, Object.keys(texts));
  for (const [id, text] of Object.entries(texts)) if (now[id] !== text) await page.fill('#' + id, text);
}

// Pastes a text into a field through the clipboard, as a person does with
// Ctrl+V: the field's text replaced by the paste's, line breaks and all.
async function paste(page, id, text) {
  await page.evaluate((t) => navigator.clipboard.writeText(t), text);
  await page.click('#' + id);
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Control+V');
}
async function withClipboard(page) {
  await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
  return page;
}

// Types the duel screen and the fight's fields, clicks the duel type and
// «Честный бой», and returns what the page then shows.
async function fairFight(page, { secret, commitment, word1, word2, salt1 = '', salt2 = '', commitment1 = '',
  commitment2 = '', fields }) {
  const { TypeBattle, ...texts } = fields;
  await typeInto(page, {
    ...empty, ...texts, FairSecret: secret, FairCommitment: commitment, FairWord1: word1, FairWord2: word2,
    FairSalt1: salt1, FairSalt2: salt2, FairCommitment1: commitment1, FairCommitment2: commitment2,
  });
  await page.click('#TypeBattle' + TypeBattle);
  await page.click('#FairBattle');
  await settled(page);
  const shown = await read(page, ['InfoBM1', 'InfoBM2', 'ErrorText', 'FairLink', 'FairMessage', 'FairNote']);
  Object.assign(shown, await page.evaluate(() => ({
    readings: (document.getElementById('FairLink').dataset.readings || '').split(','),
    differs: document.getElementById('FairMessage').dataset.differs || '',
  })));
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
    FairPostedCommitment2: thread.commitment2 || '', FairPostedInfoBM1: thread.InfoBM1, FairPostedInfoBM2: thread.InfoBM2,
    FairPostedErrorText: thread.ErrorText,
  });
  return clickCheck(page);
}
async function clickCheck(page) {
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

// saberline-cli's fair duel for these inputs, everything given as given.
function cliFair({ secret, commitment, word1, word2, salt1, salt2, commitment1, commitment2, fields }) {
  const args = ['fair', 'duel', '--secret', secret, '--word1', word1, '--word2', word2];
  for (const [option, value] of [['--commitment', commitment], ['--salt1', salt1], ['--commitment1', commitment1],
    ['--salt2', salt2], ['--commitment2', commitment2]]) if (value) args.push(option, value);
  return cliRun(args, fields);
}
// The same with each salt's commitment worked out from its word.
const committed = (duel) => ({ ...duel,
  commitment1: duel.commitment1 || (duel.salt1 ? playerCommitment(duel.salt1, duel.word1) : ''),
  commitment2: duel.commitment2 || (duel.salt2 ? playerCommitment(duel.salt2, duel.word2) : '') });

// What was posted in the thread, for `fair verify`.
const posted = (duel, extra = {}) => ({
  verification: duel.verification, commitment: duel.commitment,
  InfoBM1: duel.InfoBM1, InfoBM2: duel.InfoBM2, ErrorText: duel.ErrorText,
  ...(duel.commitment1 ? { commitment1: duel.commitment1 } : {}),
  ...(duel.commitment2 ? { commitment2: duel.commitment2 } : {}), ...extra,
});

test('100 random fair duels, typed and clicked: the same readings, logs, commitments and link as saberline-cli, ' +
  'and each link checks on the page as fair verify checks it', async () => {
  const rnd = random(13);
  const page = await withClipboard(await open(browser));
  const seen = { fought: 0, refused: 0, longest: 0, salted: 0, plain: 0, cleaned: 0 };
  for (let i = 0; i < 100; ++i) {
    const duel = {
      secret: randomHex(rnd), word1: randomWord(rnd), word2: randomWord(rnd),
      salt1: rnd() < 0.5 ? randomHex(rnd) : '', salt2: rnd() < 0.5 ? randomHex(rnd) : '', fields: randomRequest(rnd),
    };
    for (const d of [1, 2]) duel['commitment' + d] = duel['salt' + d] ? playerCommitment(duel['salt' + d], duel['word' + d]) : '';
    duel.commitment = refereeCommitment(duel.secret, duel.fields) || zeros;
    const what = JSON.stringify(duel);
    const native = cliFair(duel);
    assert.ok(native.status === 0, native.err + JSON.stringify(native.out));
    const shown = await fairFight(page, duel);
    if (!native.out.verification) {
      // The rules refuse the request: its message at the panel, no readings, no link.
      assert.deepEqual([shown.FairMessage, shown.ErrorText, shown.InfoBM1, shown.FairLink],
        [native.out.ErrorText, native.out.ErrorText, '', ''], what);
      seen.refused += 1;
      continue;
    }
    assert.equal(shown.FairMessage, '', what);
    assert.deepEqual([shown.InfoBM1, shown.InfoBM2, shown.ErrorText],
      [native.out.InfoBM1, native.out.InfoBM2, native.out.ErrorText], what);
    assert.equal(new URL(shown.FairLink).hash, '#fair:' + native.out.verification, what);
    const plain = !duel.salt1 && !duel.salt2;
    assert.equal(shown.FairNote, plain ? text('kFairPlainWordsNote') : '', what);
    // The link copied to post it: nothing is at risk when the check opens it.
    await page.click('#FairCopyLink');

    // The thread: logs pasted as copied, sometimes with their captions.
    const verification = cliRun(['fair', 'verify'], posted(native.out));
    assert.equal(verification.status, 0, JSON.stringify(verification.out));
    assert.deepEqual(shown.readings, verification.out.readings, what);
    const copied = rnd() < 0.3;
    const thread = { ...native.out };
    if (copied) {
      thread.InfoBM1 = `Ходы бойца №1:\n${thread.InfoBM1} `;
      thread.InfoBM2 = ` ${thread.InfoBM2}\n`;
    }
    const check = await checkPasted(page, shown.FairLink, thread);
    assert.ok(verified(check.FairVerdict), what + check.FairVerdict);
    assert.equal(check.FairVerdict.includes(text('kFairVerifiedPlayers')), !plain);
    assert.equal(check.FairCheckNote === '', !copied, check.FairCheckNote);
    assert.deepEqual(check.readings, verification.out.readings, what);
    assert.deepEqual([check.FairCheckCommitment, check.FairCheckCommitment1, check.FairCheckCommitment2],
      [duel.commitment, duel.commitment1, duel.commitment2]);
    assert.deepEqual([check.InfoBM1, check.InfoBM2, check.ErrorText],
      [verification.out.replayed.InfoBM1, verification.out.replayed.InfoBM2, verification.out.replayed.ErrorText]);
    await page.click('#GoExit');
    await settled(page);

    seen.fought += 1;
    seen.salted += plain ? 0 : 1;
    seen.plain += plain ? 1 : 0;
    seen.cleaned += copied ? 1 : 0;
    seen.longest = Math.max(seen.longest, shown.InfoBM1.split(' |').length - 2);
  }
  assert.ok(seen.fought >= 70 && seen.refused >= 3 && seen.longest === 100 && seen.salted >= 40 && seen.plain >= 10 &&
    seen.cleaned >= 10, JSON.stringify(seen));
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

describe('the known answers of docs/fair-vectors.json', () => {
  const vectors = JSON.parse(fs.readFileSync(path.join(root, 'docs', 'fair-vectors.json'), 'utf8'));
  const fought = vectors.cases.filter((c) => c.verification);

  test('every case committed and fought on the page: its commitments, link, readings and logs; a refused one ' +
    'its message alone', async () => {
    const page = await open(browser);
    for (const c of vectors.cases) {
      // The browser's random source gives the case's secret once, for the
      // referee's commitment to the duel screen.
      const { TypeBattle, ...texts } = c.request;
      await typeInto(page, { ...texts, FairSecret: '', FairCommitment: '' });
      await page.click('#TypeBattle' + TypeBattle);
      await page.evaluate((secret) => {
        const original = crypto.getRandomValues;
        crypto.getRandomValues = (array) => {
          crypto.getRandomValues = original;
          array.set(secret.match(/../g).map((b) => parseInt(b, 16)));
          return array;
        };
      }, c.secret);
      await page.click('#FairCommit');
      if (await modal(page)) await page.click('#ModalYes');
      await settled(page);
      const made = await read(page, ['FairSecret', 'FairCommitment', 'FairCommitMessage']);
      if (!c.verification) {
        assert.deepEqual(made, { FairSecret: '', FairCommitment: '', FairCommitMessage: text('kFairCommitRefused') + c.ErrorText },
          c.name);
        const shown = await fairFight(page, { ...c, commitment: zeros, fields: c.request });
        assert.deepEqual([shown.FairMessage, shown.ErrorText, shown.InfoBM1, shown.FairLink],
          [c.ErrorText, c.ErrorText, '', ''], c.name);
        continue;
      }
      assert.deepEqual(made, { FairSecret: c.secret, FairCommitment: c.commitment, FairCommitMessage: '' }, c.name);
      const shown = await fairFight(page, { ...c, fields: c.request });
      assert.equal(new URL(shown.FairLink).hash, '#fair:' + c.verification, c.name);
      assert.deepEqual(shown.readings, c.readings, c.name);
      assert.deepEqual([shown.InfoBM1, shown.InfoBM2, shown.ErrorText], [c.InfoBM1, c.InfoBM2, c.ErrorText], c.name);
      await page.click('#FairCopyLink');
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
        assert.ok(verified(check.FairVerdict), c.name + check.FairVerdict);
        assert.equal(check.FairCheckWords, textWith('kFairCheckWords', c.word1, c.word2));
        assert.deepEqual([check.FairCheckCommitment, check.FairCheckCommitment1, check.FairCheckCommitment2],
          [c.commitment, c.commitment1 || '', c.commitment2 || ''], c.name);
        assert.deepEqual(check.readings, c.readings, c.name);
        assert.deepEqual([check.InfoBM1, check.InfoBM2, check.ErrorText], [c.InfoBM1, c.InfoBM2, c.ErrorText]);
        await page.context().close();
      }
    });

  test('every player\'s commitment made on the page, with the case\'s word typed and its salt', async () => {
    const page = await open(browser);
    const cases = [...vectors.player_commitments,
      ...fought.flatMap((c) => [1, 2].filter((d) => c['salt' + d])
        .map((d) => ({ word: c['word' + d], salt: c['salt' + d], commitment: c['commitment' + d] })))];
    await page.click('#FairOwnWord');
    for (const c of cases) {
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

describe('a player\'s commitment', () => {
  test('draws the word from 64 random bits, with a fresh salt each time; copy buttons', async () => {
    const page = await withClipboard(await open(browser));
    assert.equal(await page.isVisible('#FairPlayerWord'), false, 'no word to type unless the player asks for it');
    const words = new Set();
    const salts = new Set();
    for (let i = 0; i < 4; ++i) {
      await page.click('#FairPlayerCommit');
      if (await modal(page)) await page.click('#ModalYes');
      await settled(page);
      const shown = await read(page, ['FairPlayerShownWord', 'FairPlayerSalt', 'FairPlayerCommitment']);
      assert.match(shown.FairPlayerShownWord, /^(0|[1-9][0-9]{0,19})$/);
      assert.ok(BigInt(shown.FairPlayerShownWord) < 2n ** 64n);
      assert.match(shown.FairPlayerSalt, /^[0-9a-f]{64}$/);
      assert.equal(shown.FairPlayerCommitment, playerCommitment(shown.FairPlayerSalt, shown.FairPlayerShownWord));
      // saberline-cli fights with it: the commitment opens.
      const native = cliFair({ secret: 'ab'.repeat(32), word1: shown.FairPlayerShownWord, salt1: shown.FairPlayerSalt,
        commitment1: shown.FairPlayerCommitment, word2: '1', fields: pistols });
      assert.equal(native.status, 0, native.err);
      words.add(shown.FairPlayerShownWord);
      salts.add(shown.FairPlayerSalt);
      for (const [button, field] of [['FairCopyPlayerWord', 'FairPlayerShownWord'],
        ['FairCopyPlayerSalt', 'FairPlayerSalt'], ['FairCopyPlayerCommitment', 'FairPlayerCommitment']]) {
        await page.click('#' + button);
        assert.equal(await page.evaluate(() => navigator.clipboard.readText()), shown[field], button);
      }
    }
    assert.equal(words.size, 4);
    assert.equal(salts.size, 4);
    // The word is the 8 drawn bytes' value: all ones give the largest word.
    await page.evaluate(() => {
      const original = crypto.getRandomValues;
      crypto.getRandomValues = (array) => {
        crypto.getRandomValues = original;
        array.fill(255);
        return array;
      };
    });
    await page.click('#FairPlayerCommit');
    await page.click('#ModalYes');
    await settled(page);
    assert.equal((await read(page, ['FairPlayerShownWord'])).FairPlayerShownWord, '18446744073709551615');
    for (const button of ['FairCopyPlayerWord', 'FairCopyPlayerSalt'])
      assert.equal(await page.getAttribute('#' + button, 'aria-describedby'), 'FairPlayerWarning');
    assert.deepEqual(page.errors, []);
    await page.context().close();
  });

  test('a word of one\'s own is a deliberate extra step with its warning, refused as fair commit --word refuses it',
    async () => {
      const page = await open(browser);
      await page.click('#FairOwnWord');
      assert.equal(await page.isVisible('#FairPlayerWord'), true);
      assert.equal(await page.textContent('#FairOwnWordWarning'), text('kFairChosenWordWarning'));
      const chosen = spawnSync(cliPath, ['fair', 'commit', '--word', '1523'], { encoding: 'utf8' });
      assert.equal(chosen.status, 0);
      assert.match(chosen.stderr, /a chosen word can be guessed/);
      await typeInto(page, { FairPlayerWord: '1523' });
      await page.click('#FairPlayerCommit');
      await settled(page);
      const before = await read(page, ['FairPlayerShownWord', 'FairPlayerSalt', 'FairPlayerCommitment']);
      assert.equal(before.FairPlayerShownWord, '1523');
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
      // Unticked, the word is drawn again.
      await page.click('#FairOwnWord');
      assert.equal(await page.isVisible('#FairPlayerWord'), false);
      await page.click('#FairPlayerCommit');
      await page.click('#ModalYes');
      await settled(page);
      assert.notEqual((await read(page, ['FairPlayerShownWord'])).FairPlayerShownWord, '');
      assert.notEqual((await read(page, ['FairPlayerShownWord'])).FairPlayerShownWord, ' 1523');
      await page.context().close();
    });
});

describe('the referee\'s commitment binds the duel screen as it stands', () => {
  test('a fresh secret each time, the commitment saberline-cli works out for it and the screen, copy buttons',
    async () => {
      const page = await withClipboard(await open(browser));
      assert.deepEqual([await page.isDisabled('#FairCopySecret'), await page.isDisabled('#FairCopyCommitment')],
        [true, true]);
      await typeInto(page, pistolDuel);
      const secrets = new Set();
      for (let i = 0; i < 3; ++i) {
        await page.click('#FairCommit');
        if (i > 0) await page.click('#ModalYes');
        await settled(page);
        const { FairSecret, FairCommitment } = await read(page, ['FairSecret', 'FairCommitment']);
        assert.match(FairSecret, /^[0-9a-f]{64}$/);
        assert.equal(FairCommitment, refereeCommitment(FairSecret, pistols));
        const native = cliRun(['fair', 'check-secret', '--secret', FairSecret, '--commitment', FairCommitment], pistols);
        assert.equal(native.status, 0);
        secrets.add(FairSecret);
        await page.click('#FairCopySecret');
        assert.equal(await page.evaluate(() => navigator.clipboard.readText()), FairSecret);
        await page.click('#FairCopyCommitment');
        assert.equal(await page.evaluate(() => navigator.clipboard.readText()), FairCommitment);
      }
      assert.equal(secrets.size, 3);
      assert.equal(await page.getAttribute('#FairCopySecret', 'aria-describedby'), 'FairSecretWarning');
      await page.context().close();
    });

  test('a request the rules refuse is never committed, as fair commit refuses it', async () => {
    const page = await open(browser);
    for (const [fields, message] of [[{ BP1: '30' }, text('kInputError')], [{ ...pistolDuel, BP2: '0' }, text('kInputError')]]) {
      assert.equal(cliRun(['fair', 'commit'], { ...empty, ...fields, TypeBattle: 1 }).status, 2);
      await typeInto(page, { ...empty, ...fields });
      await page.click('#FairCommit');
      await settled(page);
      assert.deepEqual(await read(page, ['FairCommitMessage', 'FairSecret', 'FairCommitment']),
        { FairCommitMessage: text('kFairCommitRefused') + message, FairSecret: '', FairCommitment: '' });
    }
    await page.context().close();
  });

  test('changing a duel field withdraws the commitment with a line that says why; the secret stays', async () => {
    for (const edit of [(page) => page.fill('#BP2', '21'), (page) => page.click('#TypeBattle3'),
      (page) => page.click('#GenShAttack1')]) {
      const page = await open(browser);
      await typeInto(page, pistolDuel);
      await page.click('#FairCommit');
      await settled(page);
      const made = await read(page, ['FairSecret', 'FairCommitment']);
      // Words, salts and the other parts are not the commitment's.
      await typeInto(page, { FairWord1: '5', PastedLink: 'x' });
      assert.equal((await read(page, ['FairCommitment'])).FairCommitment, made.FairCommitment);
      await edit(page);
      await settled(page);
      assert.deepEqual(await read(page, ['FairCommitMessage', 'FairCommitment', 'FairSecret']),
        { FairCommitMessage: text('kFairCommitmentWithdrawn'), FairCommitment: '', FairSecret: made.FairSecret });
      assert.equal(await page.isDisabled('#FairCopyCommitment'), true);
      await page.context().close();
    }
  });

  test('«Честный бой» before any commitment says to make it first; without the posted commitment it asks for it',
    async () => {
      const page = await open(browser);
      await typeInto(page, { ...pistolDuel, FairWord1: '1', FairWord2: '2' });
      await page.click('#FairBattle');
      await settled(page);
      assert.equal(await page.textContent('#FairMessage'), text('kFairCommitFirst'));
      await typeInto(page, { FairSecret: 'ab'.repeat(32) });
      await page.click('#FairBattle');
      await settled(page);
      assert.equal(await page.textContent('#FairMessage'), text('kFairRefereeCommitmentMissing'));
      await page.context().close();
    });
});

describe('step 2: the revealed secret checked against the commitment and the screen', () => {
  const secret = '5c955235ed9cf2e4dedac1caaecb4a58b678a6026fa31b6e7505e48a990aacba';
  // [what, the secret, the screen, the verdict, fair check-secret's status]
  const cases = [
    ['as committed', secret, pistols, 'kFairSecretOpens', 0],
    ['respelled as the rules read alike', secret, { ...pistols, BP1: '030', OgnOr1: '$C' }, 'kFairSecretOpens', 0],
    ['another request', secret, { ...pistols, BP2: '21' }, 'kFairSecretDoesNotOpen', 1],
    ['another secret', 'cd'.repeat(32), pistols, 'kFairSecretDoesNotOpen', 1],
    ['a request the rules refuse', secret, { ...pistols, BP2: '0' }, 'kFairCommitRefused', 2],
  ];
  test('as fair check-secret says', async () => {
    const page = await open(browser);
    const commitment = refereeCommitment(secret, pistols);
    for (const [what, revealed, fields, verdict, status] of cases) {
      const native = cliRun(['fair', 'check-secret', '--secret', revealed, '--commitment', commitment], fields);
      assert.equal(native.status, status, what);
      const { TypeBattle, ...texts } = fields;
      await typeInto(page, { ...empty, ...texts, FairSecret: revealed, FairCommitment: commitment });
      await page.click('#TypeBattle' + TypeBattle);
      await page.click('#FairCheckSecret');
      await settled(page);
      const shown = await page.textContent('#FairSecretVerdict');
      assert.ok(shown.startsWith(text(verdict)), `${what}: ${shown}`);
    }
    // The verdict belongs to the screen, secret and commitment it was given.
    for (const edit of [(p) => p.fill('#BP1', '31'), (p) => p.fill('#FairSecret', 'ef'.repeat(32)),
      (p) => p.fill('#FairCommitment', zeros)]) {
      await typeInto(page, { ...empty, ...pistolDuel, BP1: '30', FairSecret: secret, FairCommitment: commitment });
      await page.click('#TypeBattle1');
      await page.click('#FairCheckSecret');
      await settled(page);
      assert.equal(await page.textContent('#FairSecretVerdict'), text('kFairSecretOpens'));
      await edit(page);
      assert.equal(await page.textContent('#FairSecretVerdict'), '');
    }
    await page.context().close();
  });
});

test('bad input to the fight: the reason in Russian, as saberline-cli refuses it, and no duel and no link',
  async () => {
    const page = await open(browser);
    const secret = 'ab'.repeat(32);
    const good = { secret, commitment: refereeCommitment(secret, pistols), word1: '1523', word2: '1524', fields: pistols };
    const notAscii = text('kFairWordNotAscii');
    const notDigit = text('kFairWordNotDigit');
    const secretBad = text('kFairSecretBad');
    const saltBad = (d) => textWith('kFairSaltBad', text('kFairSaltOwner' + d));
    const salt = 'cd'.repeat(32);
    const cases = [
      [{ secret: 'ab'.repeat(31) }, secretBad],
      [{ secret: 'zz'.repeat(32) }, secretBad],
      [{ secret: secret + ' ' }, secretBad],
      [{ word1: '' }, text('kFairWordOwner1') + text('kFairWordEmpty')],
      [{ word2: '1'.repeat(21) }, text('kFairWordOwner2') + textWith('kFairWordTooLong', 20)],
      [{ word1: '0101' }, text('kFairWordOwner1') + text('kFairWordLeadingZero')],
      [{ word1: '1523\u200b' }, text('kFairWordOwner1') + notAscii],
      [{ word2: '\uff11\uff15' }, text('kFairWordOwner2') + notAscii],
      [{ word1: 'Пoст' }, text('kFairWordOwner1') + notAscii],
      [{ word1: '+1523' }, text('kFairWordOwner1') + notDigit],
      [{ word2: ' 1524' }, text('kFairWordOwner2') + notDigit],
      [{ salt1: 'ab'.repeat(31), commitment1: zeros }, saltBad(1)],
      [{ salt2: ' ' + 'ab'.repeat(32), commitment2: zeros }, saltBad(2)],
      [{ salt1: salt }, textWith('kFairSaltWithoutCommitment', text('kFairSaltOwner1'))],
      [{ commitment2: playerCommitment(salt, '1524') }, textWith('kFairCommitmentWithoutSalt', text('kFairPostedCommitment2'))],
      [{ commitment: good.commitment + ' ' }, textWith('kFairCommitmentBad', text('kFairPostedCommitment'))],
      [{ fields: { ...pistols, ShAtack1: '12\t' } }, textWith('kFairFieldControl', 'ShAtack1')],
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
    const duel = { ...good, word1: '18446744073709551615', salt1: 'AB'.repeat(32),
      commitment1: playerCommitment('ab'.repeat(32), '18446744073709551615') };
    const shown = await fairFight(page, duel);
    assert.equal(shown.FairMessage, '');
    assert.equal(new URL(shown.FairLink).hash, '#fair:' + cliFair(duel).out.verification);
    await page.context().close();
  });

test('commitments that do not open: no duel, named as fair duel names them', async () => {
  const page = await open(browser);
  const secret = 'ab'.repeat(32);
  const commitment = refereeCommitment(secret, pistols);
  const salt1 = '11'.repeat(32);
  const salt2 = '22'.repeat(32);
  const good = { secret, commitment, word1: '7', word2: '8', salt1, salt2, commitment1: playerCommitment(salt1, '7'),
    commitment2: playerCommitment(salt2, '8'), fields: pistols };
  const cases = [
    [{ fields: { ...pistols, BP2: '21' } }, ['commitment']],
    [{ secret: 'cd'.repeat(32) }, ['commitment']],
    [{ word1: '6' }, ['commitment1']],
    [{ commitment1: good.commitment2, commitment2: good.commitment1 }, ['commitment1', 'commitment2']],
  ];
  for (const [change, differs] of cases) {
    const duel = { ...good, ...change };
    const native = cliFair(duel);
    assert.equal(native.status, 1);
    assert.deepEqual(native.out.differs, differs);
    const shown = await fairFight(page, duel);
    assert.equal(shown.FairMessage, textWith('kFairDuelNotOpened', named(differs.map((d) => ({
      commitment: 'kFairDiffersCommitment', commitment1: 'kFairDiffersCommitment1',
      commitment2: 'kFairDiffersCommitment2' })[d]))));
    assert.equal(shown.differs, differs.join(','));
    assert.deepEqual([shown.FairLink, shown.InfoBM1], ['', 'Ещё не рассчитано!']);
  }
  const shown = await fairFight(page, good);
  assert.deepEqual([shown.FairMessage, shown.FairNote], ['', '']);
  assert.notEqual(shown.FairLink, '');
  await page.context().close();
});

describe('nothing that cannot be rebuilt is lost silently', () => {
  const secretText = text('kFairSecretAtRisk');
  const saltText = text('kFairSaltAtRisk');
  const linkText = text('kFairVerificationAtRisk');
  const question = ' ' + text('kFairLoseQuestion');

  // What puts something at risk, and the field that shows it.
  const risks = {
    secret: [async (page) => {
      await typeInto(page, pistolDuel);
      await page.click('#FairCommit');
      await settled(page);
    }, 'FairSecret', secretText],
    link: [async (page) => {
      await typeInto(page, { ...pistolDuel, FairWord1: '7', FairWord2: '8' });
      await page.click('#FairCommit');
      await settled(page);
      await page.click('#FairBattle');
      await settled(page);
    }, 'FairLink', linkText],
    salt: [async (page) => {
      await page.click('#FairPlayerCommit');
      await settled(page);
    }, 'FairPlayerSalt', saltText],
  };
  // [at risk, what would lose it]
  const cases = [
    ['secret', 'FairCommit'], ['secret', 'GoExit'], ['secret', 'OpenPastedLink'],
    ['link', 'FairCommit'], ['link', 'GoExit'], ['link', 'OpenPastedLink'],
    ['salt', 'FairPlayerCommit'], ['salt', 'GoExit'], ['salt', 'OpenPastedLink'],
  ];
  for (const [risk, action] of cases) {
    test(`${action} while the ${risk} is at risk asks first: «Нет» keeps it, «Да» goes on`, async () => {
      const page = await open(browser);
      const [makeRisk, field, asked] = risks[risk];
      await makeRisk(page);
      const kept = (await read(page, [field]))[field];
      assert.notEqual(kept, '');
      await page.click('#' + action);
      assert.deepEqual(await modal(page), { title: 'saberline', text: asked + question,
        buttons: [text('kQuestionYes'), text('kQuestionNo')], focused: text('kQuestionYes') });
      await page.click('#ModalNo');
      await settled(page);
      assert.equal((await read(page, [field]))[field], kept);
      await page.click('#' + action);
      await page.click('#ModalYes');
      await settled(page);
      assert.notEqual((await read(page, [field]))[field], kept);
      assert.equal(await modal(page), null);
      await page.context().close();
    });
  }

  test('both at risk: one question names both', async () => {
    const page = await open(browser);
    await risks.link[0](page);
    await risks.salt[0](page);
    await page.click('#GoExit');
    assert.equal((await modal(page)).text, `${linkText} ${saltText}${question}`);
    await page.context().close();
  });

  test('a fought link copied, by its button or with the forum post, is lost without a question; a secret typed ' +
    'from the thread too', async () => {
    for (const copy of ['FairCopyLink', 'CopyResult']) {
      const page = await withClipboard(await open(browser));
      await risks.link[0](page);
      await page.click('#' + copy);
      await settled(page);
      await page.click('#FairCommit');
      assert.equal(await modal(page), null, copy);
      await settled(page);
      await page.context().close();
    }
    const page = await open(browser);
    await typeInto(page, { FairSecret: 'ab'.repeat(32), FairCommitment: zeros });
    await page.click('#GoExit');
    assert.equal(await modal(page), null);
    await page.context().close();
  });

  test('leaving the page asks first while something is at risk, and only then', async () => {
    for (const [risk, asks] of [['secret', true], ['link', true], ['salt', true], [null, false]]) {
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

describe('the forum post after a fair duel holds the logs, the verification link and the commitments', () => {
  test('after a fair duel, with and without players\' commitments, and after a verified check', async () => {
    const page = await withClipboard(await open(browser));
    const clipboard = () => page.evaluate(() => navigator.clipboard.readText());
    assert.equal(await page.evaluate(() => window.SaberlineFair.forumParts()), null);
    const secret = 'ab'.repeat(32);
    const commitment = refereeCommitment(secret, pistols);
    const salt2 = '22'.repeat(32);
    for (const players of [false, true]) {
      const duel = { secret, commitment, word1: '7', word2: '8', fields: pistols,
        ...(players ? { salt2, commitment2: playerCommitment(salt2, '8') } : {}) };
      const shown = await fairFight(page, duel);
      await page.click('#CopyResult');
      const post = await clipboard();
      const expected = [`Ходы бойца №1:\n${shown.InfoBM1}`, `Ходы бойца №2:\n${shown.InfoBM2}`,
        ...(shown.ErrorText ? [shown.ErrorText] : []),
        [text('kPostVerificationLink'), shown.FairLink, `${text('kPostCommitment')} ${commitment}`,
          ...(players ? [`${text('kPostCommitment2')} ${duel.commitment2}`] : [])].join('\n')];
      assert.equal(post, expected.join('\n\n'));
      // The BBCode post carries the same proof, the link as a link.
      await page.click('#CopyResultBBCode');
      const bbcode = await clipboard();
      assert.ok(bbcode.includes(`[b]${text('kPostVerificationLink')}[/b]\n[url]${shown.FairLink}[/url]`), bbcode);
      assert.ok(bbcode.includes(`[b]${text('kPostCommitment')}[/b] ${commitment}`), bbcode);
      assert.equal(bbcode.includes(text('kPostCommitment2')), players, bbcode);
      assert.deepEqual(await page.evaluate(() => window.SaberlineFair.forumParts()), {
        verificationLink: shown.FairLink, commitment, ...(players ? { commitment2: duel.commitment2 } : {}) });
      // The post's link and commitments check on another copy of the page.
      const native = cliFair(duel).out;
      const other = await withClipboard(await open(browser, { url: shown.FairLink }));
      assert.ok(verified((await checkOpened(other, native)).FairVerdict));
      await other.click('#CopyResult');
      assert.ok((await other.evaluate(() => navigator.clipboard.readText())).endsWith(expected[expected.length - 1]));
      await other.context().close();
    }
    // An ordinary duel's post has none of it.
    await page.click('#GoBattle');
    await page.click('#CopyResult');
    assert.doesNotMatch(await clipboard(), /fair:|Обязательство/);
    await page.context().close();
  });
});

describe('what is shown goes as soon as the fields change', () => {
  const secret = '5c955235ed9cf2e4dedac1caaecb4a58b678a6026fa31b6e7505e48a990aacba';
  const salt1 = '11'.repeat(32);
  const fields = pistols;
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
    ['a player\'s commitment', (page) => page.fill('#FairCommitment1', ''), ['duel']],
    ['the secret', (page) => page.fill('#FairSecret', 'ab'.repeat(32)), ['duel']],
    ['the posted commitment', (page) => page.type('#FairPostedCommitment', ' '), [false]],
    ['a posted player\'s commitment', (page) => page.fill('#FairPostedCommitment1', ''), [false]],
    ['a posted log', (page) => page.type('#FairPostedInfoBM1', 'x'), [false]],
    ['the posted message', (page) => page.fill('#FairPostedErrorText', 'x'), [false]],
  ];
  let duel;
  let input;
  before(() => {
    input = { secret, commitment: refereeCommitment(secret, fields), word1: '1523', word2: '1524', salt1,
      commitment1: playerCommitment(salt1, '1523'), fields };
    duel = cliFair(input).out;
  });

  for (const [what, edit, where] of edits.filter(([, , w]) => w.some((x) => typeof x === 'boolean'))) {
    const verifiesAgain = where.find((x) => typeof x === 'boolean');
    test(`after a check: ${what}`, async () => {
      const page = await open(browser, { fragment: '#fair:' + duel.verification });
      const checked = await checkOpened(page, duel);
      assert.ok(verified(checked.FairVerdict), checked.FairVerdict);
      assert.equal(checked.InfoBM1, duel.InfoBM1);
      await edit(page);
      await settled(page);
      assert.deepEqual(await read(page, ['FairVerdict', 'InfoBM1', 'InfoBM2']),
        { FairVerdict: text('kFairEditedAfterCheck'), InfoBM1: '', InfoBM2: '' });
      // Checking again checks the link, whose request fills the duel screen again.
      await page.click('#FairCheckButton');
      const again = await read(page, ['FairVerdict', 'BP1', 'TypeBattle1', 'ShAtack1']);
      assert.equal(verified(again.FairVerdict), verifiesAgain, again.FairVerdict);
      assert.deepEqual([again.BP1, again.TypeBattle1, again.ShAtack1], ['30', true, '']);
      await page.context().close();
    });
  }

  test('after a fair duel: every duel field, word, salt, commitment and the secret', async () => {
    const page = await open(browser);
    for (const [what, edit] of edits.filter(([, , where]) => where.includes('duel'))) {
      const shown = await fairFight(page, input);
      assert.equal(shown.InfoBM1, duel.InfoBM1, what);
      await edit(page);
      await settled(page);
      assert.deepEqual(await read(page, ['FairMessage', 'FairLink', 'InfoBM1']),
        { FairMessage: text('kFairEditedAfterDuel'), FairLink: '', InfoBM1: '' }, what);
      assert.equal(await page.isDisabled('#FairCopyLink'), true);
      assert.equal(await page.evaluate(() => window.SaberlineFair.forumParts()), null);
    }
    // The link's own field, the pasted link and the player's part are not the duel's.
    const shown = await fairFight(page, input);
    await page.fill('#PastedLink', 'x');
    await page.click('#FairOwnWord');
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
    duel = cliFair({ secret, word1: '1523', word2: '1524', fields: request }).out;
    salted = cliFair(committed({ secret, word1: '1523', word2: '1524', ...salts, fields: request })).out;
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

  test('the check comes into view with the other parts out of the way, until the exit', async () => {
    for (const viewport of [{ width: 360, height: 740 }, { width: 1280, height: 900 }]) {
      const page = await open(browser, { url: base + salted.verification, viewport });
      const parts = () => page.evaluate(() => ['FairGuide', 'FairReferee', 'FairPlayer', 'FairFight', 'FairCheck']
        .map((id) => document.getElementById(id).getClientRects().length > 0));
      assert.deepEqual(await parts(), [false, false, false, false, true]);
      const box = await page.evaluate(() => {
        const r = document.getElementById('FairVerdict').getBoundingClientRect();
        return { top: r.top, bottom: r.bottom, view: innerHeight };
      });
      assert.ok(box.top >= 0 && box.bottom <= box.view, JSON.stringify(box));
      await page.click('#GoExit');
      await settled(page);
      assert.deepEqual(await parts(), [true, true, true, true, false]);
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
    assert.equal(await page.evaluate(() => window.SaberlineFair.forumParts()), null);
    await page.context().close();
  });

  test('the commitment alone is not enough to show the duel', async () => {
    const { after } = await checkLink(base + duel.verification, { commitment: duel.commitment, InfoBM1: '', InfoBM2: '', ErrorText: '' });
    assert.equal(after.FairVerdict, text('kFairEnterLogs'));
    assert.equal(after.InfoBM1, '');
  });

  // The players' commitments as posted: [what, the link, posted, saberline-cli's
  // status, what the page says]. A salt in the link is there exactly when its
  // player's commitment was posted.
  const c1 = () => salted.commitment1;
  const c2 = () => salted.commitment2;
  const other = (c) => c.slice(0, 63) + (c[63] === 'a' ? 'b' : 'a');
  const notPosted = (...names) => textWith('kFairSaltNotPosted', named(names));
  const players = [
    ['both posted and right', () => salted, () => ({ commitment1: c1(), commitment2: c2() }), 0,
      (v) => verified(v) && v.endsWith(text('kFairVerifiedPlayers'))],
    ['both posted in capitals', () => salted, () => ({ commitment1: c1().toUpperCase(), commitment2: c2().toUpperCase() }),
      0, verified],
    ['one posted, the other\'s salt in the link without it', () => salted, () => ({ commitment1: c1() }), 1,
      (v) => v === differ('kFairDiffersCommitment2') + notPosted('kFairDiffersCommitment2')],
    ['none posted, both salts in the link', () => salted, () => ({}), 1,
      (v) => v === differ('kFairDiffersCommitment1', 'kFairDiffersCommitment2') +
        notPosted('kFairDiffersCommitment1', 'kFairDiffersCommitment2')],
    ['player 1\'s differs', () => salted, () => ({ commitment1: other(c1()), commitment2: c2() }), 1,
      (v) => v === differ('kFairDiffersCommitment1')],
    ['both differ', () => salted, () => ({ commitment1: c2(), commitment2: c1() }), 1,
      (v) => v === differ('kFairDiffersCommitment1', 'kFairDiffersCommitment2')],
    ['posted where the link has no salt', () => duel, () => ({ commitment2: c2() }), 1,
      (v) => v === differ('kFairDiffersCommitment2')],
    ['with a space', () => salted, () => ({ commitment1: c1() + ' ', commitment2: c2() }), 2,
      (v) => v === textWith('kFairCommitmentBad', text('kFairPostedCommitment1'))],
    ['too short', () => salted, () => ({ commitment1: c1(), commitment2: c2().slice(1) }), 2,
      (v) => v === textWith('kFairCommitmentBad', text('kFairPostedCommitment2'))],
  ];
  for (const [what, link, extra, status, verdict] of players) {
    test(`players' commitments ${what}: as fair verify says (status ${status})`, async () => {
      const thread = { ...link(), commitment1: undefined, commitment2: undefined, ...extra() };
      const native = cliRun(['fair', 'verify'], { ...posted(link()), commitment1: undefined, commitment2: undefined,
        ...extra() });
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
    // The referee's commitment binds the request.
    ['a field', (v) => replaced(v, 'BP2', '281'), null, /^commitment,InfoBM1,InfoBM2(,ErrorText)?$/],
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
      [{ InfoBM1: duel.InfoBM1 + ' ' }, true, note(nameOf('InfoBM1'))],
      [{ InfoBM1: `Ходы бойца №1: ${duel.InfoBM1}`, InfoBM2: `Ходы бойца №2:${duel.InfoBM2}` }, true,
        note(nameOf('InfoBM1') + ', ' + nameOf('InfoBM2'))],
      [{ InfoBM2: `\u00a0 Ходы бойца №2:\u00a0${duel.InfoBM2}\t` }, true, note(nameOf('InfoBM2'))],
      [{ ErrorText: ' ' }, true, note(nameOf('ErrorText'))],
      // Another field's caption, a caption inside the text, a changed caption.
      [{ InfoBM1: `Ходы бойца 1: ${duel.InfoBM1}` }, false, ''],
    ];
    for (const [texts, verifies, said] of cases) {
      const check = await checkOpened(page, { ...duel, ...texts });
      assert.equal(verified(check.FairVerdict), verifies, JSON.stringify(texts) + check.FairVerdict);
      if (verifies) assert.equal(check.FairCheckNote, said, JSON.stringify(texts));
    }
    await page.context().close();
  });

  test('a whole post pasted into a log\'s field is named as a paste mistake, never «НЕ ПРОВЕРЕНО»', async () => {
    const page = await withClipboard(await open(browser, { url: base + duel.verification }));
    const post = `Ходы бойца №1:\n${duel.InfoBM1}\n\nХоды бойца №2:\n${duel.InfoBM2}\n\n${base}${duel.verification}`;
    await typeInto(page, { FairPostedCommitment: duel.commitment, FairPostedInfoBM2: duel.InfoBM2,
      FairPostedErrorText: duel.ErrorText });
    // [what is pasted into FairPostedInfoBM1, the fields named]
    const cases = [
      [post, ['InfoBM1']],
      [`${duel.InfoBM1}\n${duel.InfoBM2}`, ['InfoBM1']],
      [`${duel.InfoBM1} Ходы бойца №1:`, ['InfoBM1']],
    ];
    for (const [pastedText, names] of cases) {
      await paste(page, 'FairPostedInfoBM1', pastedText);
      const check = await clickCheck(page);
      assert.equal(check.FairVerdict, textWith('kFairPastedManyLogs', named(names)), pastedText);
      assert.equal(check.InfoBM1, '');
    }
    // The same post in both fields names both.
    await paste(page, 'FairPostedInfoBM2', post);
    assert.equal((await clickCheck(page)).FairVerdict,
      textWith('kFairPastedManyLogs', named(['InfoBM1', 'InfoBM2'])));
    // A log with one line break in place of a space is one log that differs.
    await paste(page, 'FairPostedInfoBM1', duel.InfoBM1.replace(' | ', ' |\n'));
    await paste(page, 'FairPostedInfoBM2', duel.InfoBM2);
    const check = await clickCheck(page);
    assert.equal(check.FairVerdict, differ('InfoBM1'));
    await page.context().close();
  });

  test('a malformed link, or one of another format or rules, says why and shows nothing', async () => {
    const v = duel.verification;
    const otherFormat = text('kFairLinkWrongVersion').split('%s')[0];
    const otherRules = text('kFairLinkWrongRules').split('%s')[0];
    const links = [
      [base + v.replace('&word2=', '&word2=%ZZ'), textWith('kFairLinkBadCharacter', 'word2')],
      [base + v.split('&word2=')[0], textWith('kFairLinkMissingItem', 'word2')],
      [base + 'saberline-fair-v9&x=1', textWith('kFairLinkWrongVersion', 'saberline-fair-v9', 'saberline-fair-v3')],
      [base + v.replace('saberline-fair-v3&rules=1', 'saberline-fair-v2'),
        textWith('kFairLinkWrongVersion', 'saberline-fair-v2', 'saberline-fair-v3')],
      [base + replaced(v, 'rules', '2'), textWith('kFairLinkWrongRules', 2, 1, 'saberline-fair-v3')],
      [base + replaced(v, 'rules', '2') + '&NewItem=1', textWith('kFairLinkWrongRules', 2, 1, 'saberline-fair-v3')],
      [pageUrl + '#saberline-fair-v3#fair:' + v, text('kFairLinkAddressHolds')],
      [base + v.replace('&word1=1523', '&word1=01523'), text('kFairWordOwner1') + text('kFairWordLeadingZero')],
      // A cold-weapon duel reads no firearm points: one duel, one link.
      [base + replaced(v, 'TypeBattle', '2'), textWith('kFairLinkNotCanonical', 'OgnOr1')],
      [base + replaced(v, 'BP1', '0'), text('kFairLinkRequestRefused') + text('kInputError')],
    ];
    for (const [link, reason] of links) {
      const page = await open(browser, { url: link });
      const shown = await read(page, ['FairVerdict', 'InfoBM1', 'InfoBM2', 'BP1', 'PageNotice']);
      // Another version's link is not damaged, and is not called so.
      const other = [otherFormat, otherRules].some((lead) => reason.startsWith(lead));
      assert.equal(shown.FairVerdict, text(other ? 'kFairLinkOtherVersion' : 'kFairLinkBad') + reason, link);
      assert.equal(shown.InfoBM1, '');
      assert.equal(shown.BP1, '30', 'the fields stay as at start-up');
      assert.equal(shown.PageNotice, '', 'not taken for a duel link');
      await page.context().close();
    }
    // saberline-cli names both versions the same way.
    for (const [verification, said] of [[replaced(v, 'rules', '2'), /rules version 2; this program fights by rules version 1/],
      [v.replace('saberline-fair-v3&rules=1', 'saberline-fair-v2'), /format saberline-fair-v2; this program reads only saberline-fair-v3/]]) {
      const native = cliRun(['fair', 'verify'], { ...posted(duel), verification });
      assert.equal(native.status, 2);
      assert.match(native.err, said);
    }
  });

  test('the page and saberline-cli accept exactly the same texts, pasted through the clipboard', async () => {
    const v = duel.verification;
    const c = duel.commitment;
    const log1 = duel.InfoBM1;
    const withFragment = (fragment) => base.replace(/#fair:$/, '') + '#' + fragment;
    // [what, the verification as pasted, the commitment as pasted, the first log as pasted]
    const rows = [
      ['the verification', v, c, log1],
      ['its fragment', 'fair:' + v, c, log1],
      ['the whole link', base + v, c, log1],
      ['a link from another address', 'https://форум.example/тема/saberline.html#fair:' + v, c, log1],
      ['a space before the link', ' ' + base + v, c, log1],
      ['the commitment in capitals', v, c.toUpperCase(), log1],
      ['a space after the verification', v + ' ', c, log1],
      ['a space before the verification', ' ' + v, c, log1],
      ['a tab after the fragment', 'fair:' + v + '\t', c, log1],
      ['a line break after the verification', v + '\n', c, log1],
      ['a line break after the link', base + v + '\r\n', c, log1],
      ['a tab in the link\'s fragment', withFragment('fair:' + v.replace('&word2=', '&\tword2=')), c, log1],
      ['a line break in the link\'s fragment', withFragment('fair:' + v.replace('&word2=', '&\nword2=')), c, log1],
      ['a line break in a value of the fragment', withFragment('fair:' + v.replace('&BP1=300', '&BP1=30\n0')), c, log1],
      ['full-width digits in a word', v.replace('word1=1523', 'word1=１５２３'), c, log1],
      ['a space in a word', v.replace('&word2=1524', '&word2=1524 '), c, log1],
      ['an escaped space in a word', v.replace('&word2=1524', '&word2=15%2024'), c, log1],
      ['a letter after a number', v.replace('&BP1=300', '&BP1=300ü'), c, log1],
      ['the secret in capitals', v.replace(secret, secret.toUpperCase()), c, log1],
      ['an empty item', v.replace('&word2=', '&&word2='), c, log1],
      ['a verification before the address\'s #', v + '#fair:' + v, c, log1],
      ['a space before the commitment', v, ' ' + c, log1],
      ['a space after the commitment', v, c + ' ', log1],
      ['a line break after the commitment', v, c + '\n', log1],
      ['a zero-width space after the commitment', v, c + '\u200b', log1],
      ['a short commitment', v, c.slice(1), log1],
      ['a full-width digit in the commitment', v, c.slice(0, 63) + '\uff10', log1],
      ['a line break in place of a space in a log', v, c, log1.replace(' | ', ' |\n')],
      ['two spaces in place of one in a log', v, c, log1.replace(' | ', '  | ')],
    ];
    const page = await withClipboard(await open(browser));
    const table = [];
    for (const [what, verification, commitment, log] of rows) {
      const native = cliRun(['fair', 'verify'], { ...posted(duel), verification, commitment, InfoBM1: log });
      assert.ok([0, 1, 2].includes(native.status), what + native.err);
      await paste(page, 'PastedLink', verification);
      await page.click('#OpenPastedLink');
      await settled(page);
      const opened = await page.isVisible('#FairPostedCommitment');
      let verdict = await page.textContent('#FairVerdict');
      if (opened && !verdict.startsWith(text('kFairLinkBad'))) {
        await paste(page, 'FairPostedCommitment', commitment);
        await paste(page, 'FairPostedInfoBM1', log);
        await paste(page, 'FairPostedInfoBM2', duel.InfoBM2);
        await typeInto(page, { FairPostedErrorText: duel.ErrorText });
        verdict = (await clickCheck(page)).FairVerdict;
      }
      const pageAccepts = verified(verdict);
      table.push([what, native.status === 0 ? 'verifies' : `refused (${native.status})`,
        pageAccepts ? 'verifies' : 'refused']);
      assert.equal(pageAccepts, native.status === 0, `${what}: ${verdict} / ${native.err}`);
      if (!pageAccepts && native.status === 2) assert.ok(verdict.startsWith(text('kFairLinkBad')) ||
        verdict.startsWith(text('kFairLinkOtherVersion')) ||
        verdict.startsWith(textWith('kFairCommitmentBad', text('kFairPostedCommitment'))), what + verdict);
      if (!pageAccepts && native.status === 1) assert.ok(notVerified(verdict), what + verdict);
    }
    console.log('| pasted | saberline-cli fair verify | page |\n|---|---|---|\n' +
      table.map((row) => `| ${row.join(' | ')} |`).join('\n'));
    assert.equal(table.filter((row) => row[2] === 'verifies').length, 6);
    // A refused link with spaces around it says so.
    await paste(page, 'PastedLink', base + v + '\n');
    await page.click('#OpenPastedLink');
    await settled(page);
    assert.ok((await page.textContent('#FairVerdict')).endsWith('.' + text('kFairLinkSpaces')));
    await page.context().close();
  });
});

describe('a failure of the browser\'s cryptography is never "does not verify"', () => {
  const failed = text('kFairCryptoFailed');
  const none = text('kFairNoCrypto');
  // [what, the script that breaks it, the page's words]
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
  const secret = 'ab'.repeat(32);
  before(() => { duel = cliRun(['fair', 'duel', '--secret', secret, '--word1', '1', '--word2', '2'], pistols).out; });
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
      // The fight: the same words, no link, no logs.
      await page.click('#GoExit');
      await settled(page);
      await typeInto(page, { FairSecret: secret, FairCommitment: duel.commitment, FairWord1: '1', FairWord2: '2',
        ...pistolDuel });
      await page.click('#FairBattle');
      assert.equal(await said(page, 'FairMessage'), words);
      assert.deepEqual(await read(page, ['FairLink', 'InfoBM1']), { FairLink: '', InfoBM1: 'Ещё не рассчитано!' });
      await context.close();
    });
  }
});
