'use strict';
// Shared pieces of the page tests: the system's Chromium through
// playwright-core (no browser is downloaded), the built page, the native
// saberline-cli for comparison, and small helpers to read and drive the
// page by its control names.
const { chromium } = require('playwright-core');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');

const root = path.resolve(__dirname, '..', '..');
const pagePath = process.env.SABERLINE_PAGE || path.join(root, 'build-web', 'web', 'saberline.html');
const cliPath = process.env.SABERLINE_CLI || path.join(root, 'build', 'cli', 'saberline-cli');
const pageUrl = pathToFileURL(pagePath).href;

// Chromium as installed by Debian, started so that it reaches for nothing
// on the network by itself. playwright-core gives every launch a fresh
// profile folder of its own (--user-data-dir) and removes it on close.
async function launch() {
  return chromium.launch({
    executablePath: process.env.SABERLINE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
    ],
  });
}

// Opens the page (query and fragment as given) and waits until the core is
// loaded and the start-up handler has run. Every request the page makes is
// kept in `page.requests`.
// `options` are the browser context's own (touch, content security policy).
async function open(browser, { query = '', fragment = '', viewport = { width: 1280, height: 900 }, url, options } = {}) {
  const context = await browser.newContext({ viewport, ...options });
  const page = await context.newPage();
  page.requests = [];
  page.errors = [];
  page.on('request', (request) => page.requests.push(request.url()));
  page.on('pageerror', (error) => page.errors.push(String(error)));
  await page.goto((url || pageUrl) + query + fragment);
  await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
  return page;
}

// What the window's controls show: edit fields their text, labels their
// caption, buttons and boxes their checked state.
async function read(page, ids) {
  return page.evaluate((names) => {
    const out = {};
    for (const id of names) {
      const el = document.getElementById(id);
      if (!el) out[id] = undefined;
      else if (el.type === 'checkbox' || el.type === 'radio') out[id] = el.checked;
      else if ('value' in el && el.tagName !== 'BUTTON' && el.tagName !== 'OUTPUT') out[id] = el.value;
      else out[id] = el.textContent;
    }
    return out;
  }, ids);
}

// Sets edit fields as a paste would (all at once, the field's own limit not
// applied: callers give texts that fit) and fires the input event.
async function fill(page, texts) {
  await page.evaluate((t) => {
    for (const [id, text] of Object.entries(t)) {
      const el = document.getElementById(id);
      el.value = text;
      el.dispatchEvent(new Event('input', { bubbles: true }));
    }
  }, texts);
}

async function setType(page, type) {
  await page.check('#TypeBattle' + type);
}

// Types each text into its field as a person does: the field reached by a
// hit-tested tap (finger) or click, its text selected with the keyboard and
// replaced by typing (the browser's own text input; an empty text deletes).
async function typeInto(page, texts, { finger = false } = {}) {
  for (const [id, text] of Object.entries(texts)) {
    if (finger) await page.tap('#' + id);
    else await page.click('#' + id);
    await page.keyboard.press('Control+A');
    if (text === '') await page.keyboard.press('Delete');
    else await page.keyboard.insertText(text);
  }
}

// A tap (finger) or a click on the control, through the browser's hit testing.
async function press(page, id, { finger = false } = {}) {
  if (finger) await page.tap('#' + id);
  else await page.click('#' + id);
}

const screens = ['BattlePanel', 'PCalcOfBattleChars', 'HelpPanel', 'AboutPanel'];
async function visibleScreens(page) {
  return page.evaluate((ids) => ids.filter((id) => !document.getElementById(id).hidden), screens);
}

// The modal box, if one shows: its title, text and buttons.
async function modal(page) {
  return page.evaluate(() => {
    const layer = document.getElementById('ModalLayer');
    if (layer.hidden) return null;
    const buttons = [...document.querySelectorAll('#ModalButtons button')].filter((b) => !b.hidden);
    return {
      title: document.getElementById('ModalTitle').textContent,
      text: document.getElementById('ModalText').textContent,
      buttons: buttons.map((b) => b.textContent),
      focused: document.activeElement && document.activeElement.textContent,
    };
  });
}

// The core's facts the page was made with (web/PageFacts.cpp prints them
// into page-facts.json beside the page): the fields the referee and the
// calculator read with their start-up texts and lengths, the results and
// where the transfer puts them, the odds' figures, the site, the texts.
const facts = JSON.parse(fs.readFileSync(path.join(path.dirname(pagePath), 'page-facts.json'), 'utf8'));
const duelFields = facts.duelFields.map((field) => field.name);
// A fixed text of the core, by its name in core/Texts.h. A name the core does
// not have is a fault of the test, never an empty text.
function text(name) {
  if (!Object.hasOwn(facts.texts, name)) throw new Error(`the core has no text ${name}`);
  return facts.texts[name];
}
// A text of the core with its %s filled in order, as the core fills it.
function textWith(name, ...values) {
  const parts = text(name).split('%s');
  if (parts.length !== values.length + 1) throw new Error(`${name} takes ${parts.length - 1} values`);
  return parts.reduce((whole, part, k) => whole + values[k - 1] + part);
}

// Every control of the window's stored layout ui/Unit1.ui: screen, group,
// place within the screen, size, font, texts, names and descriptions for a
// screen reader, enabled flag and place in the keyboard order.
function storedLayout() {
  const script = `
import json, sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
def prop(w, n):
    for p in w.findall('property'):
        if p.get('name') == n: return p[0]
out = []
stops = [t.text for t in root.find('tabstops')]
def text(w, n):
    p = prop(w, n)
    return None if p is None else (p.text or '')
def walk(w, panel, ox, oy, font, group=None):
    for c in w.findall('widget'):
        g = prop(c, 'geometry')
        x, y, wd, ht = (int(g.find(k).text) for k in ('x', 'y', 'width', 'height'))
        f = dict(font)
        fn = prop(c, 'font')
        if fn is not None:
            for k in ('bold', 'italic'):
                if fn.find(k) is not None: f[k] = fn.find(k).text == 'true'
        if prop(c, 'pixelSize') is not None: f['size'] = int(prop(c, 'pixelSize').text)
        if prop(c, 'textColor') is not None: f['colour'] = prop(c, 'textColor').text
        auto = prop(c, 'autoSize') is not None and prop(c, 'autoSize').text == 'true'
        if panel is None:
            walk(c, c.get('name'), 0, 0, f)
            continue
        out.append(dict(name=c.get('name'), cls=c.get('class'), panel=panel, group=group, x=ox + x, y=oy + y,
                        w=wd, h=ht, auto=auto, font=f, text=text(c, 'text'), title=text(c, 'title'),
                        accessibleName=text(c, 'accessibleName'), accessibleDescription=text(c, 'accessibleDescription'),
                        enabled=text(c, 'enabled') != 'false',
                        tab=stops.index(c.get('name')) if c.get('name') in stops else None))
        if c.get('class') == 'QGroupBox': walk(c, panel, ox + x, oy + y, f, c.get('name'))
form = root.find('widget')
font = dict(bold=True, italic=False, size=int(prop(form, 'pixelSize').text), colour=prop(form, 'textColor').text)
walk(form.find('widget'), None, 0, 0, font)
print(json.dumps(out))
`;
  const run = spawnSync('python3', ['-c', script, path.join(root, 'ui', 'Unit1.ui')], { encoding: 'utf8' });
  if (run.status !== 0) throw new Error(run.stderr);
  return JSON.parse(run.stdout);
}

// The violations axe-core finds in the page as it stands, one line each
// (the page must be opened with the option bypassCSP, so that axe's script
// can be added; the page's own policy stays as it is).
const axeSource = () => fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
async function axeViolations(page) {
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) await page.addScriptTag({ content: axeSource() });
  return page.evaluate(async () => {
    const results = await window.axe.run(document, { resultTypes: ['violations'] });
    return results.violations.flatMap((v) => v.nodes.map((n) => `${v.impact} ${v.id}: ${n.target.join(' ')}: ${n.failureSummary}`));
  });
}

// The browser's own accessibility node of the element with this id: its
// role, name, description and properties, as a screen reader gets them.
async function accessibilityNode(page, id) {
  const cdp = await page.context().newCDPSession(page);
  try {
    const { root: documentNode } = await cdp.send('DOM.getDocument', { depth: 0 });
    const { nodeId } = await cdp.send('DOM.querySelector', { nodeId: documentNode.nodeId, selector: '#' + id });
    const { nodes } = await cdp.send('Accessibility.getPartialAXTree', { nodeId, fetchRelatives: false });
    const node = nodes[0];
    const properties = Object.fromEntries((node.properties || []).map((p) => [p.name, p.value.value]));
    return {
      role: node.role && node.role.value, name: node.name ? node.name.value : '',
      description: node.description ? node.description.value : '', ignored: node.ignored, properties,
    };
  } finally {
    await cdp.detach();
  }
}

// saberline-cli on one request: its parsed JSON output.
function cli(args, request) {
  const run = spawnSync(cliPath, args, { input: JSON.stringify(request), encoding: 'utf8' });
  if (run.status !== 0) throw new Error(`saberline-cli ${args.join(' ')}: ${run.stderr}`);
  return run.stdout;
}

// The worked pistol duel's fields, beside duellist 1's start-up health 30.
const pistolDuel = { BP2: '20', OgnOr1: '12', HolOr1: '1', StrZ1: '3', OgnOr2: '9', HolOr2: '1', StrZ2: '4' };

// The worked pistol duel fought fairly by saberline-cli with this secret and
// these words: its verification, commitment, logs and message.
function cliFairDuel(secret, word1, word2) {
  return JSON.parse(cli(['fair', 'duel', '--secret', secret, '--word1', word1, '--word2', word2],
    { TypeBattle: 1, BP1: '30', ...pistolDuel }));
}

// A player's commitment by the documented layout of fair duels, written
// here again: SHA-256(piece("saberline-fair-v3-word") salt piece(word)).
function playerCommitment(salt, word) {
  const crypto = require('node:crypto');
  const piece = (bytes) => Buffer.concat([Buffer.from([0, 0, 0, bytes.length]), bytes]);
  return crypto.createHash('sha256').update(Buffer.concat([piece(Buffer.from('saberline-fair-v3-word')),
    Buffer.from(salt, 'hex'), piece(Buffer.from(word, 'ascii'))])).digest('hex');
}

// The worked pistol duel fought fairly by saberline-cli with the players'
// commitments to these salts and words: a salt comes with its commitment.
function cliFairDuelSalted(secret, word1, salt1, word2, salt2) {
  const args = ['fair', 'duel', '--secret', secret, '--word1', word1, '--word2', word2];
  if (salt1) args.push('--salt1', salt1, '--commitment1', playerCommitment(salt1, word1));
  if (salt2) args.push('--salt2', salt2, '--commitment2', playerCommitment(salt2, word2));
  return JSON.parse(cli(args, { TypeBattle: 1, BP1: '30', ...pistolDuel }));
}

// A request as saberline-cli reads it from the page's fields.
function cliRequest(fields) {
  const request = { TypeBattle: fields.TypeBattle };
  for (const name of duelFields) request[name] = fields[name];
  return request;
}

// A seeded generator, so that a failing random test can be run again.
function random(seed) {
  let state = seed >>> 0;
  const next = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  next.int = (lo, hi) => lo + Math.floor(next() * (hi - lo + 1));
  next.pick = (list) => list[Math.floor(next() * list.length)];
  return next;
}

module.exports = {
  launch, open, read, fill, setType, typeInto, press, visibleScreens, modal, cli, cliRequest, cliFairDuel, cliFairDuelSalted,
  playerCommitment, random, storedLayout,
  axeViolations, accessibilityNode, facts, text, textWith, duelFields, pistolDuel, screens, pagePath, pageUrl, cliPath, root,
};

// The smallest clock reading after which one move's two dice are (die1,
// die2): a test's way of choosing what the dice show. The dice are the
// window's 32-bit generator, seed := reading, seed := seed * 134775813 + 1,
// die := floor(seed * 6 / 2^32) + 1.
function readingForDice(die1, die2) {
  const die = (seed) => Math.floor((seed * 6) / 4294967296) + 1;
  const step = (seed) => (Math.imul(seed, 134775813) + 1) >>> 0;
  for (let reading = 0; reading < 1000000; ++reading) {
    const first = step(reading);
    if (die(first) === die1 && die(step(first)) === die2) return reading;
  }
  throw new Error('no reading gives these dice');
}
const clockFor = (moves) => moves.map(([a, b]) => readingForDice(a, b)).join(',');
module.exports.readingForDice = readingForDice;
module.exports.clockFor = clockFor;

// A duel link's body (the part after '#' before "&check=") with the check
// that goes with it, as anyone can write it: the FNV-1a hash of the body's
// bytes in eight lowercase hexadecimal digits (core/DuelLink.h).
function signDuelLink(body) {
  let hash = 2166136261;
  for (const byte of Buffer.from(body, 'utf8')) hash = Math.imul(hash ^ byte, 16777619) >>> 0;
  return `${body}&check=${hash.toString(16).padStart(8, '0')}`;
}
module.exports.signDuelLink = signDuelLink;
