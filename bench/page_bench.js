'use strict';
// Figures of the one-file page, measured in the system's headless Chromium:
//   node bench/page_bench.js [PAGE]
// - the file's size, raw and gzip -9;
// - load to interactive: navigation start to the moment the page has loaded
//   its core and run its start-up handler, median of 20 loads, each in a
//   fresh browser context; the anchor is a blank page loaded the same way,
//   alternating with it; then the same with the page's CPU slowed four
//   times (DevTools' CPU throttling, as on a mid-range phone), page and
//   anchor again alternating, at 1280 x 900 and on a phone's screen of
//   360 x 740 with touch (SABERLINE_BENCH_LOADS_ONLY=1 stops after these);
// - duel click to logs shown: a click on GoBattle to the two logs and the
//   message written (synchronously, before the browser paints them), for the longest duel the screen allows (100 undecided
//   cold moves), the median of 20 batches of 10 clicks and the worst single
//   click of 200; the anchor is a click on a
//   button whose handler writes nothing;
// - the worst odds update: one input event to the five odds written, on the
//   fields that make the odds work hardest: for each duel type the slowest of
//   100 inputs (both healths 9999, firearm and cold-weapon points from 1 to
//   1999 for each duellist), median and worst of 50 events; the anchor is the
//   same event on a refused request, alternating with it.
// The machine is shared and noisy: read the figures beside their anchors.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { pathToFileURL } = require('node:url');
const { launch, open } = require('../web/test/support');

const pagePath = path.resolve(process.argv[2] || path.join(__dirname, '..', 'build-web', 'web', 'saberline.html'));
const median = (xs) => { const s = [...xs].sort((a, b) => a - b); const m = s.length >> 1; return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2; };
const ms = (x) => x.toFixed(x < 1 ? 3 : 1) + ' ms';

(async () => {
  const bytes = fs.readFileSync(pagePath);
  const gzip = zlib.gzipSync(bytes, { level: 9 }).length;
  console.log(`size: ${(bytes.length / 1000).toFixed(1)} kB raw, ${(gzip / 1000).toFixed(1)} kB gzip -9 (${pagePath})`);

  const blank = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'saberline-bench-')), 'blank.html');
  fs.writeFileSync(blank, '<!DOCTYPE html><html><body><script>addEventListener("DOMContentLoaded",' +
    '()=>{document.documentElement.dataset.ready="true";performance.mark("saberline-ready")})</script></body></html>');

  const browser = await launch();
  // Navigation start to ready, with the page's CPU slowed `slowdown` times,
  // on a desktop's screen or a phone's (touch, a mobile viewport).
  const loadOf = async (url, slowdown, size) => {
    const context = await browser.newContext(size.options);
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
    await page.goto(url);
    await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
    const at = await page.evaluate(() => performance.getEntriesByName('saberline-ready')[0].startTime);
    await context.close();
    return at;
  };
  const desktop = { name: '1280 x 900', options: { viewport: { width: 1280, height: 900 } } };
  const phone = { name: '360 x 740, touch', options: { viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true } };
  await loadOf(pathToFileURL(pagePath).href, 1, desktop);  // warm the browser's own caches
  for (const [size, slowdown] of [[desktop, 1], [desktop, 4], [phone, 4]]) {
    const loads = [];
    const anchors = [];
    for (let i = 0; i < 20; ++i) {
      loads.push(await loadOf(pathToFileURL(pagePath).href, slowdown, size));
      anchors.push(await loadOf(pathToFileURL(blank).href, slowdown, size));
    }
    const ratios = loads.map((load, i) => load / anchors[i]);
    console.log(`load to interactive at ${size.name}, CPU ${slowdown === 1 ? 'unslowed' : `slowed ${slowdown} times`}: ` +
      `median ${ms(median(loads))} (worst ${ms(Math.max(...loads))}) of 20; blank page anchor ${ms(median(anchors))}; ` +
      `median ratio ${median(ratios).toFixed(2)}`);
  }
  if (process.env.SABERLINE_BENCH_LOADS_ONLY) {
    await browser.close();
    return;
  }

  const page = await open(browser);
  const duel = await page.evaluate(() => {
    const $ = (id) => document.getElementById(id);
    const set = (texts) => { for (const [id, t] of Object.entries(texts)) $(id).value = t; };
    set({ BP1: '9999', OgnOr1: '1', HolOr1: '1', StrZ1: '7', StrSt11: '1', StrSt12: '2', StrSt13: '3', ShAtack1: '123456',
      BP2: '9999', OgnOr2: '1', HolOr2: '1', StrZ2: '7', StrSt21: '4', StrSt22: '5', StrSt23: '6', ShAtack2: '654321' });
    $('TypeBattle2').checked = true;
    // The browser's clock is coarse (0.1 ms): each figure is the mean of a
    // batch of 10 clicks, 20 batches, the program and its anchor alternating.
    const batch = (button) => {
      const t0 = performance.now();
      for (let i = 0; i < 10; ++i) $(button).click();
      return (performance.now() - t0) / 10;
    };
    for (let i = 0; i < 5; ++i) batch('GoBattle');
    const clicks = [];
    const anchor = [];
    for (let round = 0; round < 20; ++round) {
      clicks.push(batch('GoBattle'));
      anchor.push(batch('GlText'));
    }
    let worst = 0;
    for (let i = 0; i < 200; ++i) {
      const t0 = performance.now();
      $('GoBattle').click();
      worst = Math.max(worst, performance.now() - t0);
    }
    return { clicks, anchor, worst, log: $('InfoBM1').value.length, message: $('ErrorText').textContent };
  });
  console.log(`duel click to logs shown (100-move cold duel, logs of ${duel.log} characters): median ` +
    `${ms(median(duel.clicks))} (20 batches of 10), worst single click ${ms(duel.worst)} of 200; anchor: a click ` +
    `without handler ` +
    `${ms(median(duel.anchor))}`);

  const odds = await page.evaluate(() => {
    const $ = (id) => document.getElementById(id);
    const core = window.Saberline.core();
    const fieldsOf = (type, f, g) => ({
      TypeBattle: type, BP1: '9999', OgnOr1: f, HolOr1: f, StrZ1: '0', StrSt11: '1', StrSt12: '2', StrSt13: '3',
      StrSt14: '', ShAtack1: '4', BP2: '9999', OgnOr2: g, HolOr2: g, StrZ2: '0', StrSt21: '4', StrSt22: '5',
      StrSt23: '6', StrSt24: '', ShAtack2: '1',
    });
    const points = ['1', '2', '3', '7', '16', '60', '89', '97', '250', '600', '999', '1999'];
    const result = {};
    const anchor = [];
    const update = () => {
      const t0 = performance.now();
      $('BP1').dispatchEvent(new Event('input', { bubbles: true }));
      return performance.now() - t0;
    };
    for (const type of [1, 2, 3]) {
      // The slowest hits for this duel type, both healths at the screen's 9999.
      let slowest = null;
      for (const f of points) for (const g of points) {
        const fields = fieldsOf(type, f, g);
        core.duelOdds(fields);
        const t0 = performance.now();
        for (let i = 0; i < 10; ++i) core.duelOdds(fields);
        const t = performance.now() - t0;
        if (!slowest || t > slowest.t) slowest = { t, f, g };
      }
      const fields = fieldsOf(type, slowest.f, slowest.g);
      for (const [id, text] of Object.entries(fields)) if (id !== 'TypeBattle') $(id).value = text;
      $('TypeBattle' + type).checked = true;
      for (let i = 0; i < 5; ++i) update();
      const t = [];
      for (let i = 0; i < 50; ++i) {
        t.push(update());
        $('BP1').value = '';
        anchor.push(update());
        $('BP1').value = '9999';
      }
      update();
      result[type] = { t, f: slowest.f, g: slowest.g, shown: $('OddsDuellist1').textContent };
    }
    result.anchor = anchor;
    // The costliest request known from the core's own odds benchmark
    // (WidestSpreadMixed): healths spread over the whole range for dozens of
    // moves. The core's calculation alone, 20 times.
    const widest = { TypeBattle: 3, BP1: '9999', OgnOr1: '97', HolOr1: '97', StrZ1: '0', StrSt11: '1',
      StrSt12: '2', StrSt13: '3', StrSt14: '', ShAtack1: '415263', BP2: '9999', OgnOr2: '89', HolOr2: '89',
      StrZ2: '-5', StrSt21: '4', StrSt22: '5', StrSt23: '6', StrSt24: '', ShAtack2: '1' };
    core.duelOdds(widest);
    result.widest = [];
    for (let i = 0; i < 20; ++i) {
      const t0 = performance.now();
      core.duelOdds(widest);
      result.widest.push(performance.now() - t0);
    }
    return result;
  });
  const names = { 1: 'pistols', 2: 'cold weapons', 3: 'mixed' };
  for (const type of [1, 2, 3])
    console.log(`odds update, ${names[type]}, slowest of 100 inputs (healths 9999, points ${odds[type].f} and ` +
      `${odds[type].g}, armour 0; duellist 1 wins ${odds[type].shown}): median ${ms(median(odds[type].t))}, ` +
      `worst ${ms(Math.max(...odds[type].t))} of 50 (after 5 to warm up)`);
  console.log(`odds update anchor (a refused request, message only): median ${ms(median(odds.anchor))}`);
  console.log(`odds of the widest-spread request (mixed, 9999/97/armour 0 against 9999/89/armour -5): ` +
    `median ${ms(median(odds.widest))}, worst ${ms(Math.max(...odds.widest))} of 20`);
  await browser.close();
  fs.rmSync(path.dirname(blank), { recursive: true, force: true });
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
