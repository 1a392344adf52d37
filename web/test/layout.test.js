'use strict';
// From 760 pixels wide the four screens stand as the window's stored layout
// ui/Unit1.ui has them: every control's place and size within its screen,
// its font's size, weight, slant and colour (a colour that does not read on
// the panel replaced by the nearest shade that does).
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { launch, open, storedLayout, text } = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const channels = (hex) => [1, 3, 5].map((i) => parseInt(hex.slice(i, i + 2), 16));
const rgbChannels = (css) => css.match(/\d+/g).slice(0, 3).map(Number);

// WCAG 2.1: relative luminance and contrast of colours given as [r, g, b].
function luminance(c) {
  const [r, g, b] = c.map((v) => (v / 255 <= 0.03928 ? v / 255 / 12.92 : ((v / 255 + 0.055) / 1.055) ** 2.4));
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}
function contrast(a, b) {
  const [hi, lo] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (hi + 0.05) / (lo + 0.05);
}

// The colour the page shows for a stored text colour: the stored one where
// it reads on its background at AA (4.5:1, 3:1 for large text), else the
// nearest shade of the same hue that does: a shade that passes, and none
// lighter by more than rounding that passes too.
function assertReadable(shown, stored, background, large, what) {
  const need = large ? 3 : 4.5;
  if (contrast(stored, background) >= need) {
    assert.deepEqual(shown, stored, what);
    return;
  }
  assert.ok(contrast(shown, background) >= need, `${what}: ${shown} reads at ${contrast(shown, background)}`);
  const k = Math.max(...shown) / Math.max(...stored);
  stored.forEach((c, i) => assert.ok(Math.abs(shown[i] - c * k) <= 1, `${what}: ${shown} is a shade of ${stored}`));
  const lighter = stored.map((c) => Math.round(c * (k + 3 / 255)));
  assert.ok(contrast(lighter, background) < need, `${what}: the lighter shade ${lighter} passes too`);
}

test('at 1280 x 900 every control stands where the window has it, in its font and colour', async () => {
  const controls = storedLayout();
  assert.ok(controls.length > 100, String(controls.length));
  const page = await open(browser);
  const entries = { HelpPanel: 'HelpAction', AboutPanel: 'AboutAction', PCalcOfBattleChars: 'GoCalcOfBattleChars' };
  const closes = { HelpPanel: 'ForHelpClose', AboutPanel: 'ForAboutClose', PCalcOfBattleChars: 'GoBattlePanel' };
  for (const panel of ['BattlePanel', 'PCalcOfBattleChars', 'HelpPanel', 'AboutPanel']) {
    if (entries[panel]) await page.click('#' + entries[panel]);
    const mine = controls.filter((c) => c.panel === panel);
    const shown = await page.evaluate(([panelId, list]) => {
      const base = document.getElementById(panelId).getBoundingClientRect();
      return list.map((c) => {
        const el = document.getElementById(c.cls === 'QRadioButton' ? c.name + '-box' : c.name);
        const box = el.getBoundingClientRect();
        const style = getComputedStyle(c.cls === 'QGroupBox' ? el.querySelector('.title') : el);
        return {
          name: c.name, x: box.left - base.left, y: box.top - base.top, w: box.width, h: box.height,
          size: parseFloat(style.fontSize), bold: Number(style.fontWeight) >= 600,
          italic: style.fontStyle === 'italic', colour: style.color, disabled: !!el.disabled,
          background: getComputedStyle(document.getElementById(panelId)).backgroundColor,
        };
      });
    }, [panel, mine]);
    shown.forEach((s, i) => {
      const c = mine[i];
      assert.deepEqual([s.x, s.y], [c.x, c.y], `${c.name}: place`);
      if (!c.auto) assert.deepEqual([s.w, s.h], [c.w, c.h], `${c.name}: size`);
      if (/QLabel|ClickLabel/.test(c.cls) && c.w > 60 && !c.name.startsWith('Pic')) {
        if (c.cls !== 'QLabel' || c.auto) assert.ok(Math.abs(s.w - c.w) <= c.w * 0.25, `${c.name}: width ${s.w} for ${c.w}`);
      }
      if (!/^(QFrame|QCheckBox)$/.test(c.cls) && !(c.cls === 'QLabel' && c.name.startsWith('Pic')) && c.name !== 'AboutImg' && c.name !== 'HelpRus') {
        // A disabled field is shown greyed, as the window shows it.
        assert.deepEqual({ size: s.size, bold: s.bold, italic: s.italic },
          { size: c.font.size, bold: c.font.bold, italic: c.font.italic }, `${c.name}: font`);
        const large = c.font.size >= 24 || (c.font.bold && c.font.size >= 18.66);
        if (!s.disabled) assertReadable(rgbChannels(s.colour), channels(c.font.colour), rgbChannels(s.background), large, `${c.name}: colour`);
      }
    });
    if (closes[panel]) await page.click('#' + closes[panel]);
  }
  await page.context().close();
});

test('Enter in an edit field and Escape start nothing', async () => {
  const page = await open(browser, { query: '?clock=16,31' });
  await page.fill('#OgnOr1', '12');
  await page.press('#OgnOr1', 'Enter');
  await page.press('#OgnOr1', 'Escape');
  assert.equal(await page.inputValue('#InfoBM1'), 'Ещё не рассчитано!');
  assert.equal(await page.textContent('#ErrorText'), '');
  await page.focus('#GoBattle');
  await page.keyboard.press('Enter');  // the focused button
  assert.equal(await page.textContent('#ErrorText'), text('kInputError'));
  await page.context().close();
});
