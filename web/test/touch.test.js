'use strict';
// Every control as a person reaches it: tapped with a finger at 360 pixels,
// clicked with a mouse at 759 and 1280, through the browser's own hit
// testing, each with the effect it must have; at every width from 320 to
// 1280 the point at a control's centre belongs to that control, and below
// 760 pixels every control is at least 44 x 44 pixels.
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const {
  launch, open, read, fill, modal, visibleScreens, clockFor, cliFairDuel, playerCommitment, pistolDuel, pageUrl, text,
} = require('./support');

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const moves = [[4, 2], [6, 5]];
const duelLog1 = '30 | 30(4) | 24(6) | 24;';

// The enabled controls a person can reach in the shown part of the page.
const reachable = (page) => page.evaluate(() => [...document.querySelectorAll('#Form1 input, #Form1 textarea, #Form1 button')]
  .filter((el) => !el.disabled && el.getClientRects().length > 0).map((el) => el.id));

const focused = (page) => page.evaluate(() => document.activeElement.id);
const clipboard = (page) => page.evaluate(() => navigator.clipboard.readText());

// [width, height, finger]
const ways = [[360, 740, true], [759, 800, false], [1280, 900, false]];

describe('every control tapped or clicked, with its effect', () => {
  let fair;
  before(() => { fair = cliFairDuel('cd'.repeat(32), '7', '8'); });

  for (const [width, height, finger] of ways) {
    test(`${finger ? 'tapped' : 'clicked'} at ${width} pixels`, async () => {
      const options = finger ? { hasTouch: true, isMobile: true } : {};
      const page = await open(browser, { query: '?clock=' + clockFor(moves), viewport: { width, height }, options });
      await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
      const acted = new Set();
      // A real tap or click: the browser's hit testing must find the control
      // (Playwright waits until the control itself receives the pointer).
      const act = async (id) => {
        acted.add(id);
        if (finger) await page.tap('#' + id, { timeout: 5000 });
        else await page.click('#' + id, { timeout: 5000 });
      };
      const fieldsTakeFocus = async () => {
        for (const id of await reachable(page)) {
          if (!(await page.evaluate((i) => /^(INPUT|TEXTAREA)$/.test(document.getElementById(i).tagName)
            && document.getElementById(i).type !== 'checkbox' && document.getElementById(i).type !== 'radio', id))) continue;
          await act(id);
          assert.equal(await focused(page), id, `${id} takes the focus`);
        }
      };
      // Every control reachable here has been acted on once the screen is left.
      const leave = async (button, where) => {
        const here = await reachable(page);
        await act(button);
        assert.deepEqual(here.filter((id) => !acted.has(id)), [], where);
      };

      // The duel screen and its extras.
      await fieldsTakeFocus();
      for (const n of [2, 3, 1]) {
        await act('TypeBattle' + n);
        assert.equal((await read(page, ['TypeBattle' + n]))['TypeBattle' + n], true);
      }
      await fill(page, pistolDuel);
      await act('GoBattle');
      assert.equal((await read(page, ['InfoBM1'])).InfoBM1, duelLog1);
      await act('CopyResult');
      assert.ok((await clipboard(page)).includes(duelLog1));
      await act('CopyResultBBCode');
      assert.ok((await clipboard(page)).includes(`[code]${duelLog1}[/code]`));
      await act('CopyDuelLink');
      const link = (await read(page, ['DuelLink'])).DuelLink;
      assert.equal(await clipboard(page), link);
      await fill(page, { PastedLink: link });
      await act('OpenPastedLink');
      assert.equal(await page.isVisible('#ReplayMark'), true);
      await act('FairCommit');
      await page.waitForFunction(() => document.getElementById('FairCommitment').value !== '');
      // Each copy button copies its field.
      const copied = async (button, field) => {
        await act(button);
        assert.equal(await clipboard(page), (await read(page, [field]))[field], button);
      };
      await copied('FairCopySecret', 'FairSecret');
      await copied('FairCopyCommitment', 'FairCommitment');
      await act('FairCheckSecret');
      await page.waitForFunction(() => document.getElementById('FairSecretVerdict').textContent !== '');
      assert.equal(await page.textContent('#FairSecretVerdict'), text('kFairSecretOpens'));
      await fill(page, { FairWord1: '1', FairWord2: '2', FairSalt1: 'ef'.repeat(32),
        FairCommitment1: playerCommitment('ef'.repeat(32), '1') });
      await act('FairBattle');
      await page.waitForFunction(() => !document.getElementById('FairCopyLink').disabled);
      await copied('FairCopyLink', 'FairLink');
      // A player's commitment: the word drawn, then one of the player's own.
      await act('FairPlayerCommit');
      await page.waitForFunction(() => document.getElementById('FairPlayerCommitment').value !== '');
      await act('FairOwnWord');
      await act('FairPlayerWord');
      assert.equal(await focused(page), 'FairPlayerWord');
      await fill(page, { FairPlayerWord: '15' });
      await act('FairPlayerCommit');
      await act('ModalYes');
      await page.waitForFunction(() => document.getElementById('FairPlayerCommitment').value !== '');
      await copied('FairCopyPlayerWord', 'FairPlayerShownWord');
      await copied('FairCopyPlayerSalt', 'FairPlayerSalt');
      await copied('FairCopyPlayerCommitment', 'FairPlayerCommitment');
      await act('GenShAttack1');
      await act('GenShAtack2');
      assert.match((await read(page, ['ShAtack1'])).ShAtack1, /^[1-6]{100}$/);
      assert.match((await read(page, ['ShAtack2'])).ShAtack2, /^[1-6]{100}$/);
      for (const [button, screen, back] of [['HelpAction', 'HelpPanel', 'ForHelpClose'], ['AboutAction', 'AboutPanel', 'ForAboutClose']]) {
        await act(button);
        assert.deepEqual(await visibleScreens(page), [screen]);
        await act(back);
        assert.deepEqual(await visibleScreens(page), ['BattlePanel']);
      }
      // The player's word and salt would be lost: the exit asks first.
      await act('GoExit');
      assert.deepEqual((await modal(page)).buttons, [text('kQuestionYes'), text('kQuestionNo')]);
      if (finger) assert.ok(await page.evaluate(() => document.getElementById('ModalNo').getBoundingClientRect().height) >= 44);
      await act('ModalNo');
      assert.equal((await read(page, ['BP2'])).BP2, pistolDuel.BP2);
      await act('GoExit');
      await act('ModalYes');
      assert.deepEqual(await read(page, ['BP2', 'InfoBM1']), { BP2: '30', InfoBM1: 'Ещё не рассчитано!' });
      // A duel and its links again: the buttons disabled at start-up are reached too.
      await fill(page, pistolDuel);
      await act('GoBattle');
      await act('FairOwnWord');
      await fill(page, { FairSecret: 'cd'.repeat(32), FairCommitment: fair.commitment, FairWord1: '1', FairWord2: '2' });
      await act('FairBattle');
      await page.waitForFunction(() => !document.getElementById('FairCopyLink').disabled);
      await leave('GoCalcOfBattleChars', 'the duel screen');
      assert.deepEqual(await visibleScreens(page), ['PCalcOfBattleChars']);

      // The calculator screen and its dialogs.
      await fieldsTakeFocus();
      for (const d of [1, 2])
        for (let k = 1; k <= 5; ++k) {
          await act(`ChM${d}${k}`);
          assert.equal((await read(page, [`ChM${d}${k}`]))[`ChM${d}${k}`], true, `ChM${d}${k} checked`);
          await act(`ChM${d}${k}`);
          assert.equal((await read(page, [`ChM${d}${k}`]))[`ChM${d}${k}`], false, `ChM${d}${k} unchecked`);
        }
      const modalButtonHeight = () => page.evaluate(() => Math.min(...[...document.querySelectorAll('#ModalButtons button')]
        .filter((b) => !b.hidden).map((b) => b.getBoundingClientRect().height)));
      await act('CalcOfBattleChars');
      assert.equal((await modal(page)).buttons.length, 1);
      if (finger) assert.ok(await modalButtonHeight() >= 44);
      await act('ModalOk');
      assert.equal(await modal(page), null);
      await fill(page, { SumPostsBM1: '250', SumRBM1: '30', SumPostsBM2: '50', SumRBM2: '2' });
      await act('CalcOfBattleChars');
      assert.equal((await read(page, ['FOgnOr1'])).FOgnOr1, '12');
      await act('MoveCarsOfBattlePanel');
      if (finger) assert.ok(await modalButtonHeight() >= 44);
      await act('ModalNo');
      assert.equal(await modal(page), null);
      await act('MoveCarsOfBattlePanel');
      await act('ModalYes');
      assert.equal((await read(page, ['OgnOr1'])).OgnOr1, '12');
      await leave('GoBattlePanel', 'the calculator screen');
      assert.deepEqual(await visibleScreens(page), ['BattlePanel']);
      assert.deepEqual(page.errors, []);
      await page.context().close();

      // A verification link opened: the fair duel's check.
      const other = await open(browser, { url: pageUrl + '#fair:' + fair.verification, viewport: { width, height }, options });
      await other.waitForFunction(() => document.getElementById('FairCheckCommitment').textContent !== '');
      const posted = { FairPostedCommitment: fair.commitment, FairPostedCommitment1: '', FairPostedCommitment2: '',
        FairPostedInfoBM1: fair.InfoBM1, FairPostedInfoBM2: fair.InfoBM2, FairPostedErrorText: fair.ErrorText };
      for (const [id, text] of Object.entries(posted)) {
        if (finger) await other.tap('#' + id, { timeout: 5000 });
        else await other.click('#' + id, { timeout: 5000 });
        assert.equal(await focused(other), id);
        await other.keyboard.insertText(text);
      }
      if (finger) await other.tap('#FairCheckButton', { timeout: 5000 });
      else await other.click('#FairCheckButton', { timeout: 5000 });
      assert.ok((await other.textContent('#FairVerdict')).startsWith(text('kFairVerified')));
      await other.context().close();
    });
  }
});

test('from 320 to 1280 pixels the point at each control\'s centre is the control\'s, and below 760 it is 44 x 44', async () => {
  const fair = cliFairDuel('cd'.repeat(32), '7', '8');
  // [state, how the page gets there, its screens, controls that must be among those checked]
  const states = [
    ['a verification link opened', (width) => open(browser, { url: pageUrl + '#fair:' + fair.verification,
      viewport: { width, height: 740 } }), ['BattlePanel', 'PCalcOfBattleChars'],
    ['FairPostedCommitment', 'FairPostedCommitment1', 'FairPostedCommitment2', 'FairPostedInfoBM1', 'FairCheckButton']],
    ['the referee\'s and a player\'s commitments made, a fair duel fought', async (width) => {
      const page = await open(browser, { viewport: { width, height: 740 } });
      const settled = () => page.evaluate(() => window.Saberline.settled());
      await fill(page, pistolDuel);
      await page.click('#FairCommit');
      await settled();
      await page.click('#FairOwnWord');
      await fill(page, { FairWord1: '7', FairWord2: '8', FairSalt1: 'ef'.repeat(32),
        FairCommitment1: playerCommitment('ef'.repeat(32), '7'), FairSalt2: 'fe'.repeat(32),
        FairCommitment2: playerCommitment('fe'.repeat(32), '8'), FairPlayerWord: '15' });
      await page.click('#FairBattle');
      await settled();
      await page.click('#FairPlayerCommit');
      await settled();
      return page;
    }, ['BattlePanel'], ['FairCommit', 'FairCopySecret', 'FairCopyCommitment', 'FairCheckSecret', 'FairSalt1',
      'FairSalt2', 'FairCommitment1', 'FairCommitment2', 'FairBattle', 'FairCopyLink', 'FairOwnWord', 'FairPlayerWord',
      'FairPlayerCommit', 'FairCopyPlayerWord', 'FairCopyPlayerSalt', 'FairCopyPlayerCommitment']],
  ];
  for (const width of [320, 360, 412, 540, 700, 759, 760, 1024, 1280]) {
    for (const [state, reach, screens, expected] of states) {
      const page = await reach(width);
      for (const screen of screens) {
        if (screen === 'PCalcOfBattleChars') await page.click('#GoCalcOfBattleChars');
        const report = await page.evaluate((narrow) => {
          const problems = [];
          const checked = [];
          for (const el of document.querySelectorAll('#Form1 input, #Form1 textarea, #Form1 button')) {
            if (el.disabled || el.getClientRects().length === 0) continue;
            checked.push(el.id);
            el.scrollIntoView({ block: 'center', inline: 'center' });
            const box = el.getBoundingClientRect();
            const hit = document.elementFromPoint(box.left + box.width / 2, box.top + box.height / 2);
            const own = hit === el || (hit && [...el.labels].includes(hit));
            if (!own) problems.push(`${el.id} is covered by ${hit && (hit.id || hit.tagName)}`);
            // A radio button is reached through its caption's box.
            const target = el.type === 'radio' ? el.closest('label').getBoundingClientRect() : box;
            if (narrow && (target.width < 44 || target.height < 44))
              problems.push(`${el.id} is ${target.width} x ${target.height}`);
          }
          return { problems, checked };
        }, width < 760);
        const where = `${width} pixels, ${state}, ${screen}`;
        assert.deepEqual(report.problems, [], where);
        assert.ok(report.checked.length >= (screen === 'BattlePanel' ? 40 : 17), `${where}: ${report.checked.length} controls`);
        if (screen === 'BattlePanel') assert.deepEqual(expected.filter((id) => !report.checked.includes(id)), [], where);
      }
      await page.context().close();
    }
  }
});
