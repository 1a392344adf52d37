'use strict';
// The page's main-thread CPU time from the navigation's commit to ready
// (thread time from a DevTools trace, so that other work on a shared machine
// counts less than in wall time), unslowed, for one or more builds of the
// page loaded in turn:
//   node bench/page_cpu.js N PAGE [PAGE...]
// prints the median and the least of N loads of each.
const { pathToFileURL } = require('node:url');
const { launch } = require('../web/test/support');

(async () => {
  const [n, ...files] = process.argv.slice(2);
  if (!(Number(n) > 0) || files.length === 0) {
    console.error('usage: node bench/page_cpu.js N PAGE [PAGE...]');
    process.exit(2);
  }
  const browser = await launch();
  const cpuOf = async (file) => {
    const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await page.goto('about:blank');
    const events = [];
    cdp.on('Tracing.dataCollected', (e) => events.push(...e.value));
    const done = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
    await cdp.send('Tracing.start', { categories: 'devtools.timeline,blink.user_timing,loading', transferMode: 'ReportEvents' });
    await page.goto(pathToFileURL(file).href);
    await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
    await cdp.send('Tracing.end');
    await done;
    await context.close();
    const ready = events.find((e) => e.name === 'saberline-ready');
    const commit = events.find((e) => e.name === 'DocumentLoader::CommitNavigation');
    return (ready.tts - commit.tts) / 1000;
  };
  await cpuOf(files[0]);  // warm the browser's own caches
  const times = files.map(() => []);
  for (let i = 0; i < Number(n); ++i) for (let k = 0; k < files.length; ++k) times[k].push(await cpuOf(files[k]));
  const median = (xs) => { const s = [...xs].sort((a, b) => a - b); const m = s.length >> 1; return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2; };
  files.forEach((file, k) => console.log(`${file}: main-thread CPU, commit to ready: median ${median(times[k]).toFixed(1)} ms, ` +
    `least ${Math.min(...times[k]).toFixed(1)} ms of ${n}`));
  await browser.close();
})();
