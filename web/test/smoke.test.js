'use strict';
// The page loads from disk, shows the duel screen as the window starts, and
// fights the README's worked pistol duel with chosen readings.
const test = require('node:test');
const assert = require('node:assert/strict');
const { launch, open, read, fill } = require('./support');

test('the page starts and fights a duel with chosen readings', async () => {
  const browser = await launch();
  try {
    const page = await open(browser, { query: '?clock=16,31' });
    assert.deepEqual(page.errors, []);
    const start = await read(page, ['BP1', 'BP2', 'InfoBM1', 'InfoBM2', 'ErrorText', 'TypeBattle1']);
    assert.deepEqual(start, {
      BP1: '30', BP2: '30', InfoBM1: 'Ещё не рассчитано!', InfoBM2: 'Ещё не рассчитано!',
      ErrorText: '', TypeBattle1: true,
    });
    await fill(page, { BP2: '20', OgnOr1: '8', HolOr1: '1', StrZ1: '2', OgnOr2: '6', HolOr2: '1', StrZ2: '0' });
    await page.click('#GoBattle');
    const shown = await read(page, ['InfoBM1', 'InfoBM2', 'ErrorText']);
    assert.ok(shown.InfoBM1.startsWith('30 |'), shown.InfoBM1);
    assert.ok(shown.InfoBM2.startsWith('20 |'), shown.InfoBM2);
  } finally {
    await browser.close();
  }
});
