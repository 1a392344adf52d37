'use strict';
// Saberline in the browser: the window's handlers over the core compiled to
// WebAssembly. Each handler reads element values, calls one core binding
// and writes element values; every rule, text and number format is the
// core's. The elements carry the window's control names as their ids.
(function () {
  const $ = (id) => document.getElementById(id);

  // --- The page's address: ?clock=LIST and the duel link after '#' --------
  // All reading and writing of the address happens here.
  const Address = {
    // The readings chosen with ?clock=LIST, or null for the page's own dice.
    clockList() {
      const query = new URLSearchParams(location.search);
      return query.has('clock') ? query.get('clock') : null;
    },
    // The text after '#', or null when there is none.
    fragment() {
      return location.hash.length > 1 ? location.hash.slice(1) : null;
    },
    // The page's own address (query and fragment dropped) with `fragment`.
    withFragment(fragment) {
      return location.href.split('#')[0].split('?')[0] + '#' + fragment;
    },
    // Forgets the fragment, so that a reload does not replay the link again.
    dropFragment() {
      if (location.hash) history.replaceState(null, '', location.pathname + location.search);
    },
    fileName() {
      const last = location.pathname.split('/').pop();
      try {
        return decodeURIComponent(last) || 'saberline.html';
      } catch (e) {
        return 'saberline.html';
      }
    },
  };

  // --- Modal boxes ---------------------------------------------------------
  // One box at a time; the page takes no other input while it shows. The
  // message dialog has OK, the error box a stop sign and OK, the question a
  // question mark, Yes (the default) and No, and is left by those two only:
  // Escape and clicks beside the box do nothing.
  const Dialogs = {
    show(kind, title, text) {
      const layer = $('ModalLayer');
      const buttons = { ok: $('ModalOk'), yes: $('ModalYes'), no: $('ModalNo') };
      const shown = kind === 'question' ? ['yes', 'no'] : ['ok'];
      $('ModalTitle').textContent = title;
      $('ModalText').textContent = text;
      const icon = $('ModalIcon');
      icon.className = kind === 'question' ? 'question' : kind === 'error' ? 'stop' : '';
      icon.textContent = kind === 'question' ? '?' : kind === 'error' ? '\u2715' : '';
      for (const [answer, button] of Object.entries(buttons)) button.hidden = !shown.includes(answer);
      const returnFocus = document.activeElement;
      $('Form1').inert = true;
      layer.hidden = false;
      buttons[shown[0]].focus();
      return new Promise((resolve) => {
        const answered = (answer) => () => {
          for (const button of Object.values(buttons)) button.onclick = null;
          layer.hidden = true;
          $('Form1').inert = false;
          if (returnFocus && returnFocus.focus) returnFocus.focus();
          resolve(answer);
        };
        for (const answer of shown) buttons[answer].onclick = answered(answer);
      });
    },
    message: (text) => Dialogs.show('message', facts.applicationTitle, text),
    errorBox: (text) => Dialogs.show('error', facts.applicationTitle, text),
    question: (title, text) => Dialogs.show('question', title, text),
  };

  // --- The core ------------------------------------------------------------
  let core = null;
  let facts = null;

  // An error that escapes the core comes back as the error box's text.
  class CoreError extends Error {}
  function call(binding, ...args) {
    const result = binding(...args);
    if (result.errorBox !== undefined) throw new CoreError(result.errorBox);
    return result;
  }

  // --- Reading and writing elements ----------------------------------------
  const show = (id) => { $(id).hidden = false; };
  const hide = (id) => { $(id).hidden = true; };
  const setText = (id, text) => { $(id).textContent = text; };
  const setValue = (id, text) => { $(id).value = text; };

  function duelType() {
    for (const n of [1, 2, 3]) if ($('TypeBattle' + n).checked) return n;
    return 1;
  }
  function readDuelFields() {
    const fields = { TypeBattle: duelType() };
    for (const name of facts.duelFields) fields[name] = $(name).value;
    return fields;
  }
  function writeDuelFields(fields) {
    for (const name of facts.duelFields) setValue(name, fields[name]);
    $('TypeBattle' + fields.TypeBattle).checked = true;
  }
  const combatResults = ['FOgnOr1', 'FHolOr1', 'FStrZ1', 'FOgnOr2', 'FHolOr2', 'FStrZ2'];
  function readForumFields() {
    const fields = {};
    for (const name of facts.forumFields) fields[name] = $(name).value;
    for (const d of [1, 2])
      for (let k = 1; k <= facts.blackMarks; ++k) fields['ChM' + d + k] = $('ChM' + d + k).checked;
    return fields;
  }
  function readCombatResults() {
    const results = {};
    for (const name of combatResults) results[name] = $(name).value;
    return results;
  }

  // --- The duel link --------------------------------------------------------
  let duelLink = '';  // the last duel's link, '' before any duel
  function setDuelLink(fragment) {
    duelLink = fragment ? Address.withFragment(fragment) : '';
    setValue('DuelLink', duelLink);
    $('CopyDuelLink').disabled = !duelLink;
  }
  function showDuelTexts(shown) {
    setValue('InfoBM1', shown.InfoBM1);
    setValue('InfoBM2', shown.InfoBM2);
    setText('ErrorText', shown.ErrorText);
    setDuelLink(shown.link);
  }

  // --- Handlers: the window's, step for step ---------------------------------
  function FormCreate() {
    hide('HelpPanel');
    hide('AboutPanel');
    hide('PCalcOfBattleChars');
    setText('ErrorText', '');
  }
  function HelpActionClick() { hide('BattlePanel'); show('HelpPanel'); }
  function ForHelpCloseClick() { show('BattlePanel'); hide('HelpPanel'); }
  function AboutActionClick() { hide('BattlePanel'); show('AboutPanel'); }
  function ForAboutCloseClick() { show('BattlePanel'); hide('AboutPanel'); }
  function btn1Click() { hide('BattlePanel'); show('PCalcOfBattleChars'); }
  function GoBattlePanelClick() { show('BattlePanel'); hide('PCalcOfBattleChars'); }

  function GoBattleClick() {
    hide('ReplayMark');
    showDuelTexts(call(core.runDuel, readDuelFields()));
  }
  function GenShAttack1Click() { setValue('ShAtack1', call(core.generateScheme).scheme); }
  function GenShAtack2Click() { setValue('ShAtack2', call(core.generateScheme).scheme); }

  async function CalcOfBattleCharsClick() {
    const calculation = call(core.calculate, readForumFields());
    if (calculation.message) {
      await Dialogs.message(calculation.message);
      return;
    }
    for (const name of combatResults) setValue(name, calculation[name]);
  }

  async function MoveCarsOfBattlePanelClick() {
    const check = call(core.checkTransfer, readCombatResults());
    if (check.message) {
      await Dialogs.message(check.message);
      return;
    }
    const answer = await Dialogs.question(facts.texts.transferQuestionTitle, facts.texts.transferQuestion);
    if (answer !== 'yes') return;
    setValue('OgnOr1', $('FOgnOr1').value);
    setValue('OgnOr2', $('FOgnOr2').value);
    setValue('HolOr1', $('FHolOr1').value);
    setValue('HolOr2', $('FHolOr2').value);
    setValue('StrZ1', $('FStrZ1').value);
    setValue('StrZ2', $('FStrZ2').value);
    setValue('InfoBM1', '');
    setValue('InfoBM2', '');
    setText('ErrorText', '');
  }

  // A page cannot close its own tab: the exit button returns the page to the
  // state it had right after it was opened (without a duel link): every
  // field at its start-up text, the duel screen shown, the dice restarted.
  function GoExitClick() {
    Address.dropFragment();
    startUp();
  }

  // Selects a link's field and puts the link on the clipboard (the selection
  // is copied where the clipboard interface is missing or refused).
  function copyLink(field, link) {
    field.focus();
    field.select();
    if (navigator.clipboard && navigator.clipboard.writeText)
      navigator.clipboard.writeText(link).catch(() => document.execCommand('copy'));
    else
      document.execCommand('copy');
  }

  function CopyDuelLinkClick() {
    if (duelLink) copyLink($('DuelLink'), duelLink);
  }

  // --- Exact odds as the fields stand ---------------------------------------
  const oddsTexts = ['OddsDuellist1', 'OddsDuellist2', 'OddsBothFell', 'OddsUndecided', 'OddsExpectedMoves'];
  const oddsValues = ['duellist1', 'duellist2', 'both_fell', 'undecided', 'expected_moves'];
  function refreshOdds() {
    const odds = core.duelOdds(readDuelFields());
    const refusal = odds.errorBox !== undefined ? odds.errorBox : odds.ErrorText;
    setText('OddsMessage', refusal);
    $('OddsNumbers').hidden = refusal !== '';
    oddsTexts.forEach((id, i) => {
      setText(id, refusal ? '' : odds[id]);
      $(id).dataset.value = refusal ? '' : String(odds.values[oddsValues[i]]);
    });
  }

  // --- Start-up ------------------------------------------------------------
  function startUp() {
    $('Form1').reset();
    FormCreate();
    show('BattlePanel');
    hide('ReplayMark');
    setDuelLink('');
    setText('PageNotice', call(core.setClockList, Address.clockList()).message);
  }

  // Opening a duel link: the fields it carries, and the duel replayed with
  // its readings. A link that does not read leaves the start-up screen.
  function openDuelLink(fragment) {
    const link = call(core.readDuelLink, fragment);
    if (link.message) {
      setText('PageNotice', link.message);
      return;
    }
    writeDuelFields(link.fields);
    const replayed = call(core.runDuelWithReadings, link.fields, link.readings);
    showDuelTexts(replayed);
    setText('ReplayMark', facts.texts.replayMark);
    show('ReplayMark');
  }

  // A verification link of the fair duel (fair.js) is the fair duel's to
  // open; any other fragment is a duel link.
  function openFragment(fragment) {
    const fair = window.SaberlineFair;
    if (fair && fair.claims(fragment)) return fair.openLink(fragment);
    return openDuelLink(fragment);
  }

  // Runs a handler to its end; an error escaping it is shown in the error
  // box and the page goes on. The odds follow every change of the fields.
  // A handler that waits for a box's answer holds off every other until it
  // ends (the page behind the box is inert as well).
  let busy = false;
  function dispatch(handler) {
    if (busy) return Promise.resolve();
    let outcome;
    try {
      outcome = handler();
    } catch (error) {
      outcome = Promise.reject(error);
    }
    if (!(outcome instanceof Promise)) {
      refreshOdds();
      return Promise.resolve();
    }
    busy = true;
    return outcome
      .catch((error) => Dialogs.errorBox(error instanceof CoreError ? error.message : String(error && error.message)))
      .finally(() => {
        busy = false;
        refreshOdds();
      });
  }

  const handlers = {
    GoBattle: GoBattleClick,
    GenShAttack1: GenShAttack1Click,
    GenShAtack2: GenShAtack2Click,
    GoExit: GoExitClick,
    HelpAction: HelpActionClick,
    AboutAction: AboutActionClick,
    GoCalcOfBattleChars: btn1Click,
    ForHelpClose: ForHelpCloseClick,
    ForAboutClose: ForAboutCloseClick,
    GoBattlePanel: GoBattlePanelClick,
    CalcOfBattleChars: CalcOfBattleCharsClick,
    MoveCarsOfBattlePanel: MoveCarsOfBattlePanelClick,
    CopyDuelLink: CopyDuelLinkClick,
  };

  function decodeWasm() {
    const text = $('CoreWasm').textContent.trim();
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  createSaberline({ wasmBinary: decodeWasm() }).then((module) => {
    core = module;
    facts = core.pageFacts(Address.fileName());
    const form = $('Form1');
    form.addEventListener('submit', (event) => event.preventDefault());
    for (const [id, handler] of Object.entries(handlers))
      $(id).addEventListener('click', () => dispatch(handler));
    form.addEventListener('input', refreshOdds);
    form.addEventListener('change', refreshOdds);
    window.addEventListener('hashchange', () => {
      const fragment = Address.fragment();
      if (fragment) dispatch(() => { startUp(); return openFragment(fragment); });
    });
    dispatch(() => {
      startUp();
      const fragment = Address.fragment();
      if (fragment) return openFragment(fragment);
    }).then(() => {
      document.documentElement.dataset.ready = 'true';
      performance.mark('saberline-ready');
    });
  });

  // For the fair-duel mode and tests: the page's pieces, by name.
  window.Saberline = {
    Address, Dialogs, readDuelFields, writeDuelFields, showDuelTexts, refreshOdds, dispatch, copyLink,
    core: () => core, facts: () => facts,
  };
})();
