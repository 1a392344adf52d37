'use strict';
// Shared pieces of the page tests: the system's Chromium through
// playwright-core (no browser is downloaded), the built page, the native
// saberline-cli for comparison, and small helpers to read and drive the
// page by its control names.
const { chromium } = require('playwright-core');
const { spawnSync } = require('node:child_process');
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
async function open(browser, { query = '', fragment = '', viewport = { width: 1280, height: 900 }, url } = {}) {
  const context = await browser.newContext({ viewport });
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

const duelFields = [
  'BP1', 'OgnOr1', 'HolOr1', 'StrZ1', 'StrSt11', 'StrSt12', 'StrSt13', 'StrSt14', 'ShAtack1',
  'BP2', 'OgnOr2', 'HolOr2', 'StrZ2', 'StrSt21', 'StrSt22', 'StrSt23', 'StrSt24', 'ShAtack2',
];

// saberline-cli on one request: its parsed JSON output.
function cli(args, request) {
  const run = spawnSync(cliPath, args, { input: JSON.stringify(request), encoding: 'utf8' });
  if (run.status !== 0) throw new Error(`saberline-cli ${args.join(' ')}: ${run.stderr}`);
  return run.stdout;
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
  launch, open, read, fill, setType, visibleScreens, modal, cli, cliRequest, random,
  duelFields, screens, pagePath, pageUrl, cliPath, root,
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
