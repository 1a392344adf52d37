'use strict';
// Where the page's load spends the main thread's time, at a desktop's
// screen and a phone's, with the CPU slowed four times: the self time of
// each trace event from the navigation's commit to ready (a DevTools trace),
// the median of N loads of each, desktop and phone loaded in turn.
//   node bench/page_trace.js N [PAGE]
// Time in layout or style before ready (LocalFrameView::performLayout,
// Document::recalcStyle) is time a blank page never pays.
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { launch } = require('../web/test/support');

const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s[s.length >> 1]; };

(async () => {
  const count = Number(process.argv[2]);
  if (!(count > 0)) {
    console.error('usage: node bench/page_trace.js N [PAGE]');
    process.exit(2);
  }
  const file = path.resolve(process.argv[3] || path.join(__dirname, '..', 'build-web', 'web', 'saberline.html'));
  const sizes = {
    desktop: { viewport: { width: 1280, height: 900 } },
    phone: { viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true },
  };
  const browser = await launch();
  // Self time by event name on the main thread, and commit to ready.
  const traceOf = async (options) => {
    const context = await browser.newContext(options);
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: 4 });
    await page.goto('about:blank');
    const events = [];
    cdp.on('Tracing.dataCollected', (e) => events.push(...e.value));
    const done = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
    await cdp.send('Tracing.start', {
      categories: 'devtools.timeline,blink.user_timing,loading,v8.execute,blink,disabled-by-default-devtools.timeline',
      transferMode: 'ReportEvents',
    });
    await page.goto(pathToFileURL(file).href);
    await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
    await cdp.send('Tracing.end');
    await done;
    await context.close();
    const ready = events.find((e) => e.name === 'saberline-ready');
    const commit = events.find((e) => e.name === 'DocumentLoader::CommitNavigation');
    const spans = events.filter((e) => e.tid === ready.tid && e.ph === 'X' && e.dur && e.ts >= commit.ts && e.ts <= ready.ts)
      .sort((a, b) => a.ts - b.ts || b.dur - a.dur);
    const self = {};
    const open = [];
    for (const e of spans) {
      while (open.length && open.at(-1).ts + open.at(-1).dur <= e.ts) open.pop();
      if (open.length) self[open.at(-1).name] = (self[open.at(-1).name] || 0) - e.dur / 1000;
      self[e.name] = (self[e.name] || 0) + e.dur / 1000;
      open.push(e);
    }
    return { total: (ready.ts - commit.ts) / 1000, self };
  };
  const traces = { desktop: [], phone: [] };
  await traceOf(sizes.desktop);  // warm the browser's own caches
  for (let i = 0; i < count; ++i) for (const name of Object.keys(sizes)) traces[name].push(await traceOf(sizes[name]));
  console.log(`${file}: commit to ready, median of ${count}: desktop ${median(traces.desktop.map((t) => t.total)).toFixed(1)} ms, ` +
    `phone ${median(traces.phone.map((t) => t.total)).toFixed(1)} ms`);
  const names = new Set(Object.values(traces).flat().flatMap((t) => Object.keys(t.self)));
  const rows = [...names].map((name) => [name, median(traces.desktop.map((t) => t.self[name] || 0)),
    median(traces.phone.map((t) => t.self[name] || 0))]).sort((a, b) => Math.max(b[1], b[2]) - Math.max(a[1], a[2]));
  console.log(' desktop    phone  self time (ms)');
  for (const [name, desktop, phone] of rows.slice(0, 20))
    console.log(`${desktop.toFixed(1).padStart(8)} ${phone.toFixed(1).padStart(8)}  ${name}`);
  await browser.close();
})();
