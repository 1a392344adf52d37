'use strict';
// The page's link handling as a property: any text pasted as a link
// (Address.fragmentOf), and any address after '#' (Address.fragment and the
// hashchange that opens it, sometimes while a box waits for its answer, or
// the same text pasted into the field for a received link). The cases are
// made here by a seeded generator: duel links of random requests and
// readings, written by this file from the published format (docs/web.md,
// core/DuelLink.h), whole or damaged, their check written again or not.
// Every outcome is checked against this file's own reading of the link (not
// the core's): refused as damaged, refused naming the field whose text no
// field can show, or replayed with exactly the link's fields and the logs
// that saberline-cli prints for its request and readings.
//
// SABERLINE_PROPERTY_SECONDS=N makes cases for N seconds (tools/fuzz.sh);
// without it a fixed number. SABERLINE_PROPERTY_SEED=S repeats a run; the
// seed and the number of cases are reported as the test's diagnostics.
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { launch, open, cli, cliRequest, random, facts, text, textWith, signDuelLink } = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const seconds = Number(process.env.SABERLINE_PROPERTY_SECONDS || 0);
const seed = Number(process.env.SABERLINE_PROPERTY_SEED || Date.now() % 1000000);
const enough = (count, fixed, started) => (seconds > 0 ? Date.now() - started < seconds * 1000 : count < fixed);

// --- Making links ------------------------------------------------------------

// Characters a field's text is made of: what a field can show, and (the
// last) what it cannot. No 'f' (nor '#'): a text that spells a fair duel's
// verification is the fair duel's to open, not a duel link.
const classes = [
  '0123456789', '0123456789 -+$xX', 'абвгдеёжзийклмнопрстуфхцчшщъыьэюяЁЖ', ' !"$&\'()*+,-./:;<=>?@[\\]^_`{|}~',
  'ABCDEGHIJKLMNOPQRSTUVWXYZabcdeghijklmnopqrstuvwxyz', '\u00a0\u200b\u2028\ufeff\u{1F5E1}\u{1F600}',
];
const unshowable = '\n\t\r\u0001\u001b\u007f\u0085\u0000';
function randomText(rnd, maxLength, hostile = false) {
  const length = hostile && rnd() < 0.5 ? maxLength + rnd.int(1, 2) : rnd.int(0, maxLength);
  const chosen = [rnd.pick(classes), rnd() < 0.15 ? rnd.pick(classes) : rnd.pick(classes)];
  const characters = Array.from({ length }, () => rnd.pick([...rnd.pick(chosen)]));
  if (hostile && length > 0) characters[rnd.int(0, length - 1)] = rnd.pick([...unshowable, ...classes[0]]);
  return characters.join('');
}
// A field's text mostly as a player types it, now and then anything, and
// seldom what no field can hold or show.
function randomField(rnd, { name, maxLength, startUp }) {
  const r = rnd();
  if (r < 0.02) return randomText(rnd, maxLength, true);
  if (r < 0.3) return startUp;
  if (r < 0.8 && maxLength === 1) return String(rnd.int(1, 6));
  if (r < 0.8 && name.startsWith('ShAtack')) return Array.from({ length: rnd.int(1, maxLength) }, () => rnd.int(1, 6)).join('');
  if (r < 0.8) return String(rnd.int(-99, 9999)).slice(0, maxLength);
  return randomText(rnd, maxLength);
}
function randomReading(rnd) {
  const bits = rnd.pick([8, 32, 64]);
  let reading = 0n;
  for (let i = 0; i < bits; i += 16) reading = (reading << 16n) | BigInt(rnd.int(0, 0xffff));
  return reading & ((1n << BigInt(bits)) - 1n);
}

const unreserved = /^[A-Za-z0-9\-._~]$/;
function percentEncode(textToWrite) {
  let encoded = '';
  for (const byte of Buffer.from(textToWrite, 'utf8')) {
    const c = String.fromCharCode(byte);
    encoded += byte < 0x80 && unreserved.test(c) ? c : '%' + byte.toString(16).toUpperCase().padStart(2, '0');
  }
  return encoded;
}

// A link's part after '#', whole or damaged.
function randomFragment(rnd) {
  const fields = {};
  for (const field of facts.duelFields) fields[field.name] = randomField(rnd, field);
  const type = rnd() < 0.05 ? rnd.pick(['0', '4', '', '12', 'x']) : String(rnd.int(1, 3));
  const count = rnd() < 0.05 ? rnd.pick([0, 101]) : rnd.int(1, rnd() < 0.5 ? 5 : 100);
  const readings = Array.from({ length: count }, () => randomReading(rnd).toString());
  const items = [['duel', '1'], ...facts.duelFields.map(({ name }) => [name, percentEncode(fields[name])]),
    ['TypeBattle', type], ['clock', readings.join(',')]];
  const whole = items.map(([key, value]) => `${key}=${value}`).join('&');
  let body = whole;
  // Damage: a character changed, a piece cut out or doubled, an escape of
  // another case, a line break in a value, items swapped.
  const damages = rnd() < 0.5 ? 0 : rnd.int(1, 2);
  for (let k = 0; k < damages; ++k) {
    const at = rnd.int(0, body.length);
    switch (rnd.int(0, 5)) {
      case 0: body = body.slice(0, at) + rnd.pick([...'0123456789=&%,ABCxyz-_.~ё']) + body.slice(at + 1); break;
      case 1: body = body.slice(0, at) + body.slice(Math.min(body.length, at + rnd.int(1, 12))); break;
      case 2: body = body.slice(0, at) + body.slice(at, at + rnd.int(1, 12)) + body.slice(at); break;
      case 3: body = body.replace(/%[0-9A-F]{2}/, (escape) => escape.toLowerCase()); break;
      case 4: body = body.slice(0, at) + rnd.pick(['%0A', '%09', '%7F', '%C2%85', '%00', '%D1', '%G1', '%']) + body.slice(at); break;
      default: {
        const parts = body.split('&');
        const i = rnd.int(0, parts.length - 1);
        const j = rnd.int(0, parts.length - 1);
        [parts[i], parts[j]] = [parts[j], parts[i]];
        body = parts.join('&');
      }
    }
  }
  // The check written for the body as it now stands (anyone can), or the
  // body's first check kept, or one cut.
  const signed = signDuelLink(body);
  if (rnd() < 0.85) return signed;
  return rnd() < 0.5 ? signed.slice(0, -rnd.int(1, 8)) : body + signDuelLink(whole).slice(whole.length);
}

// --- Reading links, from the published format ----------------------------------

function fnv1a(body) {
  let hash = 2166136261;
  for (const byte of Buffer.from(body, 'utf8')) hash = Math.imul(hash ^ byte, 16777619) >>> 0;
  return hash.toString(16).padStart(8, '0');
}
function percentDecode(value) {
  const bytes = [...Buffer.from(value, 'utf8')];
  const out = [];
  for (let i = 0; i < bytes.length; ++i) {
    if (bytes[i] !== 0x25) {
      out.push(bytes[i]);
      continue;
    }
    const hex = String.fromCharCode(bytes[i + 1] ?? 0, bytes[i + 2] ?? 0);
    if (i + 2 >= bytes.length || !/^[0-9A-Fa-f]{2}$/.test(hex)) return null;
    out.push(parseInt(hex, 16));
    i += 2;
  }
  return Buffer.from(out);
}
const strictUtf8 = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true });
const controls = /[\u0000-\u001f\u007f-\u009f]/;

// { damaged: true }, { field: name, control }, or { fields, type, readings }.
function readDuelLink(fragment) {
  const at = fragment.lastIndexOf('&check=');
  if (at < 0) return { damaged: true };
  const body = fragment.slice(0, at);
  if (fragment.slice(at + '&check='.length) !== fnv1a(body)) return { damaged: true };
  const items = body.split('&').map((item) => {
    const equals = item.indexOf('=');
    return equals < 0 ? { key: item, value: null } : { key: item.slice(0, equals), value: item.slice(equals + 1) };
  });
  if (items.length !== facts.duelFields.length + 3) return { damaged: true };
  if (items[0].key !== 'duel' || items[0].value !== '1') return { damaged: true };
  const fields = {};
  for (const [i, { name, maxLength }] of facts.duelFields.entries()) {
    const { key, value } = items[i + 1];
    if (key !== name || value === null) return { damaged: true };
    const bytes = percentDecode(value);
    if (bytes === null) return { damaged: true };
    let decoded;
    try {
      decoded = strictUtf8.decode(bytes);
    } catch (error) {
      return { field: name, control: false };
    }
    // A zero character first, then the other controls, then the length.
    if (decoded.includes('\0')) return { field: name, control: false };
    if (controls.test(decoded)) return { field: name, control: true };
    if ([...decoded].length > maxLength) return { field: name, control: false };
    fields[name] = decoded;
  }
  const type = items[facts.duelFields.length + 1];
  if (type.key !== 'TypeBattle' || !/^[123]$/.test(type.value ?? '')) return { damaged: true };
  const clock = items[facts.duelFields.length + 2];
  if (clock.key !== 'clock' || !/^\d+(,\d+)*$/.test(clock.value ?? '')) return { damaged: true };
  const readings = clock.value.split(',');
  if (readings.length > 100 || readings.some((r) => BigInt(r) >= 2n ** 64n)) return { damaged: true };
  return { fields, type: Number(type.value), readings };
}

// --- Opening links on the page -------------------------------------------------

// What the page shows of a link it was given, and the fragment as the page
// read it (the browser writes an address's fragment in its own form).
async function shown(page) {
  return page.evaluate((names) => {
    const $ = (id) => document.getElementById(id);
    return {
      notice: $('PageNotice').textContent,
      mark: $('ReplayMark').hidden ? null : $('ReplayMark').textContent,
      fields: Object.fromEntries(names.map((name) => [name, $(name).value])),
      type: [1, 2, 3].find((n) => $('TypeBattle' + n).checked),
      InfoBM1: $('InfoBM1').value,
      InfoBM2: $('InfoBM2').value,
      ErrorText: $('ErrorText').textContent,
      screens: ['BattlePanel', 'PCalcOfBattleChars'].filter((id) => !$(id).hidden),
      box: !$('ModalLayer').hidden,
    };
  }, facts.duelFields.map(({ name }) => name));
}

// Sets the address's fragment and waits for its hashchange (and, unless a
// box waits, until the page has handled it); the fragment as the page reads it.
async function setFragment(page, fragment, { settle = true } = {}) {
  return page.evaluate(async ([f, wait]) => {
    const change = (to) => new Promise((resolve) => {
      window.addEventListener('hashchange', () => setTimeout(resolve, 0), { once: true });
      location.hash = to;
    });
    // The same fragment again would change nothing: another first.
    const target = new URL(location.href);
    target.hash = f;
    if (target.href === location.href) await change('x');
    await change(f);
    if (wait) await window.Saberline.settled();
    return location.hash.slice(1);
  }, [fragment, settle]);
}

const startUpFields = Object.fromEntries(facts.duelFields.map(({ name, startUp }) => [name, startUp]));

function expectOutcome(state, read, what) {
  assert.equal(state.box, false, `${what}: a box is left open`);
  assert.deepEqual(state.screens, ['BattlePanel'], what);
  if (read.damaged || read.field) {
    const message = read.damaged ? text('kDuelLinkBad')
      : textWith(read.control ? 'kDuelLinkFieldControl' : 'kDuelLinkFieldBad', read.field);
    assert.equal(state.notice, message, what);
    assert.equal(state.mark, null, what);
    assert.deepEqual(state.fields, startUpFields, what);
    assert.equal(state.type, 1, what);
    return;
  }
  assert.equal(state.notice, '', what);
  assert.equal(state.mark, text('kReplayMark'), what);
  assert.deepEqual(state.fields, read.fields, what);
  assert.equal(state.type, read.type, what);
  const expected = JSON.parse(cli(['duel', '--json', '--clock', read.readings.join(',')],
    cliRequest({ TypeBattle: read.type, ...read.fields })));
  assert.deepEqual({ InfoBM1: state.InfoBM1, InfoBM2: state.InfoBM2, ErrorText: state.ErrorText }, expected, what);
}

// --- The properties ----------------------------------------------------------

test('a pasted link gives the part after its first #, or the whole text, without the blanks around it', async (t) => {
  const rnd = random(seed);
  const page = await open(browser);
  const started = Date.now();
  let cases = 0;
  const blanks = [' ', '\t', '\n', '\r', '\u00a0', '\u2028', '\ufeff', '\u3000'];
  while (enough(cases, 2000, started)) {
    const batch = [];
    for (let i = 0; i < 200; ++i) {
      const fragment = rnd() < 0.5 ? randomFragment(rnd) : randomText(rnd, 40).replace(/[#\s\u00a0\u2028\ufeff\u3000\u200b\u0085]/g, '') || 'x';
      const around = () => Array.from({ length: rnd.int(0, 3) }, () => rnd.pick(blanks)).join('');
      const address = rnd.pick(['', 'https://forum.example/files/saberline.html', 'file:///home/a/saberline.html?clock=1,2',
        'http://127.0.0.1:8080/', 'saberline.html']);
      batch.push({ fragment, before: around(), after: around(), address });
    }
    const failures = await page.evaluate((cases) => {
      const { Address } = window.Saberline;
      const wrong = [];
      for (const c of cases) {
        const pasted = c.address ? `${c.before}${c.address}#${c.fragment}${c.after}` : `${c.before}${c.fragment}${c.after}`;
        if (Address.fragmentOf(pasted) !== c.fragment) wrong.push({ pasted, got: Address.fragmentOf(pasted) });
        const made = Address.withFragment(c.fragment);
        if (Address.fragmentOf(made) !== c.fragment) wrong.push({ pasted: made, got: Address.fragmentOf(made) });
      }
      return wrong;
    }, batch);
    assert.deepEqual(failures.slice(0, 3), [], `seed ${seed}`);
    cases += batch.length;
  }
  await page.context().close();
  t.diagnostic(`seed ${seed}: ${cases} pasted texts`);
});

test('every link opened shows what its own reading says: refused as damaged, refused naming a field, or replayed as saberline-cli plays it', async (t) => {
  const rnd = random(seed + 1);
  const page = await open(browser);
  const started = Date.now();
  const seen = { cases: 0, damaged: 0, field: 0, replayed: 0, duringBox: 0, pasted: 0 };
  while (enough(seen.cases, 150, started)) {
    const fragment = randomFragment(rnd);
    const way = rnd() < 0.2 ? 'pasted' : rnd() < 0.25 ? 'duringBox' : 'address';
    let read;
    let state;
    if (way === 'pasted') {
      // As received: whole, at some address, with blanks around it.
      const pasted = `${rnd.pick(['', ' ', '\n'])}https://forum.example/s.html#${fragment}${rnd.pick(['', ' ', '\t\n'])}`;
      await page.evaluate((p) => { document.getElementById('PastedLink').value = p; }, pasted);
      await page.click('#OpenPastedLink');
      await page.evaluate(() => window.Saberline.settled());
      read = readDuelLink(fragment);
      state = await shown(page);
    } else {
      if (way === 'duringBox') {
        // A box that waits (the transfer of the calculator's results).
        await page.click('#GoCalcOfBattleChars');
        await page.click('#MoveCarsOfBattlePanel');
        assert.ok((await shown(page)).box, 'a box is open');
        read = readDuelLink(await setFragment(page, fragment, { settle: false }));
        assert.deepEqual((await shown(page)).screens, ['PCalcOfBattleChars'], 'nothing opens behind the box');
        await page.click((await page.isVisible('#ModalOk')) ? '#ModalOk' : '#ModalNo');
        await page.evaluate(() => window.Saberline.settled());
      } else {
        read = readDuelLink(await setFragment(page, fragment));
      }
      state = await shown(page);
    }
    expectOutcome(state, read, `seed ${seed + 1}, case ${seen.cases + 1} (${way}): ${fragment}`);
    seen.cases += 1;
    if (way !== 'address') seen[way] += 1;
    seen[read.damaged ? 'damaged' : read.field ? 'field' : 'replayed'] += 1;
  }
  await page.context().close();
  if (!seconds) assert.ok(seen.damaged > 10 && seen.field > 5 && seen.replayed > 30, JSON.stringify(seen));
  t.diagnostic(`seed ${seed + 1}: ${seen.cases} links opened ${JSON.stringify(seen)}`);
});
