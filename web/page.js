'use strict';
// Saberline in the browser: the window's handlers over the core compiled to
// WebAssembly. Each handler reads element values, calls one core binding
// and writes element values; every rule, text and number format is the
// core's. The elements carry the window's control names as their ids.
(function () {
  const $ = (id) => document.getElementById(id);
  // Below 760 pixels the screens flow in one column for a phone.
  const phone = window.matchMedia('(max-width: 759px)');

  // --- The page's address: ?clock=LIST and the link after '#' ----------------
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
    // The address the page was published at (set when it was built), or ''.
    published() {
      return document.documentElement.dataset.publicAddress || '';
    },
    // A link to `fragment`: at the published address where there is one,
    // else at this copy's own address (query and fragment dropped).
    withFragment(fragment) {
      return (Address.published() || location.href.split('#')[0].split('?')[0]) + '#' + fragment;
    },
    // Whether a link made here opens only where this file is: a copy opened
    // from disk, with no published address.
    onlyHere() {
      return !Address.published() && location.protocol === 'file:';
    },
    // A pasted link's part after '#', or the whole text when it has none.
    fragmentOf(text) {
      const trimmed = text.trim();
      const at = trimmed.indexOf('#');
      return at >= 0 ? trimmed.slice(at + 1) : trimmed;
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
  // One box at a time; the page takes no other input while it shows, and
  // Tab goes round the box's buttons only. The message dialog has OK, the
  // error box a stop sign and OK, the question a question mark, Yes (the
  // default) and No. Escape closes a box as OK does and answers a question
  // No; clicks beside the box do nothing. The focus goes back where it was
  // when the box closes.
  const Dialogs = {
    show(kind, title, text) {
      const layer = $('ModalLayer');
      const buttons = { ok: $('ModalOk'), yes: $('ModalYes'), no: $('ModalNo') };
      const shown = kind === 'question' ? ['yes', 'no'] : ['ok'];
      $('ModalTitle').textContent = title;
      $('ModalText').textContent = text;
      buttons.yes.textContent = facts.texts.kQuestionYes;
      buttons.no.textContent = facts.texts.kQuestionNo;
      const icon = $('ModalIcon');
      icon.className = kind === 'question' ? 'question' : kind === 'error' ? 'stop' : '';
      icon.textContent = kind === 'question' ? '?' : kind === 'error' ? '\u2715' : '';
      for (const [answer, button] of Object.entries(buttons)) button.hidden = !shown.includes(answer);
      const returnFocus = document.activeElement;
      const order = shown.map((answer) => buttons[answer]);
      const holdFocus = (event) => {
        if (event.key === 'Escape') {
          event.preventDefault();
          buttons[kind === 'question' ? 'no' : 'ok'].click();
          return;
        }
        if (event.key !== 'Tab') return;
        event.preventDefault();
        const at = order.indexOf(document.activeElement);
        order[at < 0 ? 0 : (at + (event.shiftKey ? order.length - 1 : 1)) % order.length].focus();
      };
      $('Form1').inert = true;
      layer.hidden = false;
      document.addEventListener('keydown', holdFocus);
      order[0].focus();
      return new Promise((resolve) => {
        const answered = (answer) => () => {
          for (const button of Object.values(buttons)) button.onclick = null;
          document.removeEventListener('keydown', holdFocus);
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
  // The core's facts (fields, results, odds, texts), written into the page
  // when it was made, and the title of its boxes.
  const facts = JSON.parse($('PageFacts').textContent);

  // An error that escapes the core comes back as the error box's text.
  class CoreError extends Error {}
  function call(binding, ...args) {
    const result = binding(...args);
    if (result.errorBox !== undefined) throw new CoreError(result.errorBox);
    return result;
  }

  // --- Reading and writing elements ----------------------------------------
  // A screen's pictures are decoded when it is first shown.
  function show(id) {
    $(id).hidden = false;
    // Their style rules wait in pieces (make_page.py), joined here.
    const pieces = document.querySelectorAll(`script.screen-pictures[data-screen="${id}"]`);
    if (pieces.length) {
      const style = document.createElement('style');
      style.textContent = Array.from(pieces, (piece) => piece.text).join('');
      document.head.appendChild(style);
      for (const piece of pieces) piece.remove();
    }
    if (logsToFit) fitLogs();
  }
  // Shows a screen the user asked for: the focus moves to its heading, and
  // its heading's text is announced as the screen's name.
  function enter(id) {
    show(id);
    const heading = $(id).querySelector('h2');
    heading.focus();
    setText('ScreenSpoken', heading.textContent);
  }
  const hide = (id) => { $(id).hidden = true; };
  const setText = (id, text) => { $(id).textContent = text; };
  const setValue = (id, text) => { $(id).value = text; };

  function duelType() {
    for (const n of [1, 2, 3]) if ($('TypeBattle' + n).checked) return n;
    return 1;
  }
  function readDuelFields() {
    const fields = { TypeBattle: duelType() };
    for (const { name } of facts.duelFields) fields[name] = $(name).value;
    return fields;
  }
  function writeDuelFields(fields) {
    for (const { name } of facts.duelFields) setValue(name, fields[name]);
    $('TypeBattle' + fields.TypeBattle).checked = true;
  }
  function readForumFields() {
    const fields = {};
    for (const { name } of facts.forumFields) fields[name] = $(name).value;
    for (const { name } of facts.blackMarkBoxes) fields[name] = $(name).checked;
    return fields;
  }
  // The duel screen's outputs, in the core's order: a log is a text box, a
  // message line a line of text.
  const duelResults = facts.duelResults;
  const logResults = duelResults.filter(({ kind }) => kind === 'log');
  function showResult({ name, kind }, text) {
    if (kind === 'log') setValue(name, text);
    else setText(name, text);
  }
  function shownResults() {
    const shown = {};
    for (const { name, kind } of duelResults) shown[name] = kind === 'log' ? $(name).value : $(name).textContent;
    return shown;
  }
  // Whether a result shows a duel fought (its logs are written).
  const fought = (shown) => logResults.some(({ name }) => shown[name]);

  function readCombatResults() {
    const results = {};
    for (const { name } of facts.combatResults) results[name] = $(name).value;
    return results;
  }

  // A move log wraps and grows to hold its whole text at every width; from
  // 760 pixels what stands below it in the window's layout moves down by as
  // much (--InfoBM1-grow, --InfoBM2-grow: make_page.py). The logs are fitted
  // when their text changes, on a shown screen: a page just read holds the
  // one-line start-up text and is laid out by nothing here.
  let logsToFit = false;  // a log's text changed while its screen was hidden
  let logsWritten = false;  // the logs have held more than their start-up text
  // Lays the page out once: both logs measured at their one-line height,
  // then given the height of their whole text. Where the second log's end
  // then stands, and how much of the window the odds' bar takes on a phone.
  function fitLogs() {
    if ($('BattlePanel').hidden) {
      logsToFit = true;
      return null;
    }
    logsToFit = false;
    const logs = logResults.map(({ name }) => $(name));
    for (const log of logs) {
      log.style.height = '';
      $('ClientArea').style.setProperty(`--${log.id}-grow`, '0px');
    }
    const sizes = logs.map((log) => ({ base: log.offsetHeight, whole: log.scrollHeight + log.offsetHeight - log.clientHeight,
      top: log.getBoundingClientRect().top }));
    const bar = phone.matches ? $('Odds').offsetHeight : 0;
    const grows = sizes.map(({ base, whole }) => Math.max(0, Math.ceil(whole - base)));
    logs.forEach((log, k) => {
      log.style.height = grows[k] ? `${sizes[k].base + grows[k]}px` : '';
      $('ClientArea').style.setProperty(`--${log.id}-grow`, `${grows[k]}px`);
    });
    // Whatever stands below a log moves down by its growth; the verdict ends
    // the last log.
    const last = sizes.length - 1;
    const above = grows.slice(0, last).reduce((sum, grow) => sum + grow, 0);
    return { verdict: sizes[last].top + above + sizes[last].base + grows[last], bar };
  }
  function logsChanged() {
    logsWritten = true;
    return fitLogs();
  }
  // After a duel the end of the second log, the verdict, is in view (on a
  // phone above the odds' bar).
  function showVerdict(fitted) {
    if (fitted && (fitted.verdict > innerHeight - fitted.bar || fitted.verdict < 0))
      $(logResults[logResults.length - 1].name).scrollIntoView({ block: 'end' });
  }

  // A refusal marks the field it concerns (aria-invalid, an outline, the
  // focus) until the field is changed or the next refusal or result.
  let refused = null;
  function markRefused(field) {
    if (refused) refused.removeAttribute('aria-invalid');
    refused = field ? $(field) : null;
    if (!refused) return;
    refused.setAttribute('aria-invalid', 'true');
    refused.focus();
  }

  // Brings what an opened link shows into view: below 760 pixels the first
  // element at the top; from 760 each of them where it is nearest.
  function bringIntoView(...elements) {
    if (phone.matches) elements[0].scrollIntoView({ block: 'start' });
    else for (const element of elements) element.scrollIntoView({ block: 'nearest' });
  }

  // The notices about an opened link stand beside the move logs: below 760
  // pixels right before them, from 760 at the top of the duel screen's
  // extras, just below the window's screen.
  function placeNotices() {
    const notices = $('LinkNotices');
    if (phone.matches) $('T' + logResults[0].name).before(notices);
    else if (notices.parentElement !== $('DuelExtras')) $('DuelExtras').prepend(notices);
  }

  // --- Links and the clipboard ------------------------------------------------
  // Puts a text on the clipboard. A link's field is selected first, and its
  // selection is copied where the clipboard interface is missing or refused.
  function copyText(text, field) {
    const fallback = () => {
      let source = field;
      if (!source) {
        source = document.createElement('textarea');
        source.value = text;
        source.className = 'visually-hidden';
        document.body.appendChild(source);
      }
      source.select();
      document.execCommand('copy');
      if (!field) source.remove();
    };
    if (field) {
      field.focus();
      field.select();
    }
    if (navigator.clipboard && navigator.clipboard.writeText) navigator.clipboard.writeText(text).catch(fallback);
    else fallback();
  }
  const copyLink = (field, link) => copyText(link, field);

  // Beside a link made on a copy opened from disk: where it opens, and how
  // others open it. The copy buttons are described by it too.
  function noteLink(note, link, buttons) {
    const shown = !!link && Address.onlyHere();
    note.textContent = shown ? facts.texts.kLinkOnlyHere : '';
    note.hidden = !shown;
    for (const button of buttons) {
      if (shown) button.setAttribute('aria-describedby', note.id);
      else button.removeAttribute('aria-describedby');
    }
  }

  // --- The duel's result --------------------------------------------------------
  let duelLink = '';  // the last duel's link, '' before any duel
  function setDuelLink(fragment) {
    duelLink = fragment ? Address.withFragment(fragment) : '';
    setValue('DuelLink', duelLink);
    $('CopyDuelLink').disabled = !duelLink;
    noteLink($('DuelLinkNote'), duelLink, [$('CopyDuelLink'), $('CopyResult'), $('CopyResultBBCode')]);
  }
  // Both logs under their captions, as the window shows them.
  const logsText = () => logResults.map(({ name }) => `${$('T' + name).textContent}\n${$(name).value}`);
  // Shows a result { <output's name>: text, ..., link }; a missing text
  // shows as empty.
  function showDuelTexts(shown) {
    for (const result of duelResults) showResult(result, shown[result.name] || '');
    setDuelLink(shown.link);
    // A screen reader speaks the logs of a duel (the message line speaks for
    // itself).
    const written = fought(shown);
    setText('DuelSpoken', written ? logsText().join('\n') : '');
    $('CopyResult').disabled = !written;
    $('CopyResultBBCode').disabled = !written;
    return logsChanged();
  }
  // The result for a forum post as the core writes it, "plain" or "bbcode":
  // both logs under their captions, the message if there is one, the duel's
  // link, and after a fair duel its verification link and commitments.
  function forumPost(format) {
    const fair = window.SaberlineFair && window.SaberlineFair.forumParts && window.SaberlineFair.forumParts();
    return call(core.forumPost, shownResults(), duelLink, fair || null, format).post;
  }

  // --- Handlers: the window's, step for step ---------------------------------
  function FormCreate() {
    hide('HelpPanel');
    hide('AboutPanel');
    hide('PCalcOfBattleChars');
    // The message lines start empty; the logs keep their start-up text.
    for (const result of duelResults) if (result.kind !== 'log') showResult(result, '');
  }
  function HelpActionClick() { hide('BattlePanel'); enter('HelpPanel'); }
  function ForHelpCloseClick() { hide('HelpPanel'); enter('BattlePanel'); }
  function AboutActionClick() { hide('BattlePanel'); enter('AboutPanel'); }
  function ForAboutCloseClick() { hide('AboutPanel'); enter('BattlePanel'); }
  function btn1Click() { hide('BattlePanel'); enter('PCalcOfBattleChars'); }
  function GoBattlePanelClick() { hide('PCalcOfBattleChars'); enter('BattlePanel'); }

  function GoBattleClick() {
    hide('ReplayMark');
    const shown = call(core.runDuel, readDuelFields());
    const fitted = showDuelTexts(shown);
    markRefused(shown.field);
    if (fought(shown)) showVerdict(fitted);
  }
  function GenShAttack1Click() { setValue('ShAtack1', call(core.generateScheme).scheme); }
  function GenShAtack2Click() { setValue('ShAtack2', call(core.generateScheme).scheme); }

  async function CalcOfBattleCharsClick() {
    setText('TransferStatus', '');
    const calculation = call(core.calculate, readForumFields());
    if (calculation.message) {
      await Dialogs.message(calculation.message);
      markRefused(calculation.field);
      return;
    }
    markRefused(null);
    for (const { name } of facts.combatResults) setValue(name, calculation[name]);
  }

  // The page stays on the calculator; its status line says what reached the
  // duel screen.
  async function MoveCarsOfBattlePanelClick() {
    setText('TransferStatus', '');
    const check = call(core.checkTransfer, readCombatResults());
    if (check.message) {
      await Dialogs.message(check.message);
      return;
    }
    const answer = await Dialogs.question(facts.texts.kTransferQuestionTitle, facts.texts.kTransferQuestion);
    if (answer !== 'yes') return;
    for (const { name, transferTo } of facts.combatResults) setValue(transferTo, $(name).value);
    for (const result of duelResults) showResult(result, '');
    logsChanged();
    setText('TransferStatus', check.notice);
    $('TransferStatus').scrollIntoView({ block: 'nearest' });
  }

  // What starting over would lose (a fair duel's secret not yet fought, a
  // player's word and salt) is asked about first: true to go on.
  const mayStartOver = () => (window.SaberlineFair ? window.SaberlineFair.mayStartOver() : Promise.resolve(true));

  // A page cannot close its own tab: the exit button returns the page to the
  // state it had right after it was opened (without a duel link): every
  // field at its start-up text, the duel screen shown, the dice restarted.
  async function GoExitClick() {
    if (!(await mayStartOver())) return;
    Address.dropFragment();
    startUp();
  }

  function CopyDuelLinkClick() {
    if (duelLink) copyLink($('DuelLink'), duelLink);
  }
  function CopyResultClick() {
    copyText(forumPost('plain'));
  }
  function CopyResultBBCodeClick() {
    copyText(forumPost('bbcode'));
  }

  // A link someone else made, pasted whole or only its part after '#',
  // opens in this copy of the page as if this copy had been opened with it.
  // A verification link is read exactly as pasted, as saberline-cli reads
  // it; a duel link without the spaces around it.
  async function OpenPastedLinkClick() {
    const fair = window.SaberlineFair;
    // A verification is read as pasted, line breaks and all (fair.js keeps
    // what the one-line field drops).
    const pasted = fair ? fair.textOf($('PastedLink')) : $('PastedLink').value;
    const shown = $('PastedLink').value;
    if (!(await mayStartOver())) return;
    startUp();
    if (fair && fair.claims(pasted)) return fair.openLink(pasted);
    return openDuelLink(Address.fragmentOf(shown));
  }

  // --- Exact odds as the fields stand ---------------------------------------
  // The odds of the start-up fields came with the page (its facts, worked
  // out by the core when the page was made). Under the five figures, how the
  // duel stands by the end of each move, drawn as one picture with its
  // summary in one line.
  let oddsShown = null;  // { refusal } or { figures, summary }: what the odds show
  function refreshOdds() {
    const fields = readDuelFields();
    const atStartUp = facts.duelFields.every(({ name, startUp }) => fields[name] === startUp);
    const odds = atStartUp ? facts.startUpOdds[fields.TypeBattle - 1] : core.duelOdds(fields);
    const refusal = odds.errorBox !== undefined ? odds.errorBox : odds.ErrorText;
    setText('OddsMessage', refusal);
    $('OddsNumbers').hidden = refusal !== '';
    $('OddsChart').hidden = refusal !== '';
    const figures = {};
    for (const { control } of facts.oddsFigures) {
      figures[control] = refusal ? '' : odds[control];
      setText(control, figures[control]);
      $(control).dataset.value = refusal ? '' : String(odds.values[control]);
    }
    if (!refusal) drawOdds(odds);
    oddsShown = refusal ? { refusal } : { figures, summary: odds.summary };
    speakOddsSoon();
  }

  // The picture: four bands stacked from the bottom, move 0 to 100 across,
  // 0 to 100 % up (the SVG's own units): duellist 1 has won, both have
  // fallen, the duel goes on, duellist 2 has won; and a line at the move by
  // which the duel is decided with 90 % certainty, which the summary names.
  const svgNS = 'http://www.w3.org/2000/svg';
  const bandNames = ['OddsBand1', 'OddsBandBoth', 'OddsBandGoing', 'OddsBand2'];
  function drawOdds(odds) {
    const svg = $('OddsPicture');
    if (!svg.firstChild) {
      for (const id of bandNames) {
        const band = document.createElementNS(svgNS, 'polygon');
        band.id = id;
        svg.appendChild(band);
      }
      const line = document.createElementNS(svgNS, 'line');
      line.id = 'OddsDecided';
      line.setAttribute('y1', '0');
      line.setAttribute('y2', '100');
      svg.appendChild(line);
    }
    // The heights between the bands by the end of move n (0: before move 1).
    const edges = (n) => {
      const [one, two, both] = n === 0 ? [0, 0, 0] : odds.byMove[n - 1];
      return [0, one, one + both, 1 - two, 1];
    };
    const columns = Array.from({ length: odds.byMove.length + 1 }, (_, n) => edges(n));
    const point = (n, height) => `${n},${(100 - 100 * height).toFixed(3)}`;
    bandNames.forEach((id, k) => {
      const lower = columns.map((edge, n) => point(n, edge[k]));
      const upper = columns.map((edge, n) => point(n, edge[k + 1])).reverse();
      $(id).setAttribute('points', lower.concat(upper).join(' '));
    });
    const line = $('OddsDecided');
    line.style.display = odds.decidedBy > 0 ? '' : 'none';
    line.setAttribute('x1', String(odds.decidedBy));
    line.setAttribute('x2', String(odds.decidedBy));
    setText('OddsSummary', odds.summary);
  }

  // The odds are spoken once typing pauses, about a second after the last
  // change: only the figures and the summary that changed since they were
  // last spoken, and a refusal only when it is not the one last spoken. What
  // a page shows when it opens is not spoken.
  let oddsSpoken = null;
  let speakTimer = 0;
  function speakOddsSoon() {
    if (!oddsSpoken) {
      oddsSpoken = oddsShown;
      return;
    }
    clearTimeout(speakTimer);
    speakTimer = setTimeout(speakOdds, 1000);
  }
  function speakOdds() {
    const now = oddsShown;
    const before = oddsSpoken;
    const said = [];
    if (now.refusal) {
      if (now.refusal !== before.refusal) said.push(now.refusal);
    } else {
      for (const { control, label } of facts.oddsFigures)
        if (before.refusal || now.figures[control] !== before.figures[control]) said.push(`${label} ${now.figures[control]}`);
      if (now.summary !== before.summary) said.push(now.summary);
    }
    oddsSpoken = now;
    if (said.length) setText('OddsSpoken', said.join('; '));
  }

  // --- Start-up ------------------------------------------------------------
  // A page just read needs no reset: its form holds the start-up texts and
  // keeps nothing typed across loads (autocomplete off).
  function startUp(asRead = false) {
    if (!asRead) $('Form1').reset();
    FormCreate();
    show('BattlePanel');
    hide('ReplayMark');
    markRefused(null);
    setDuelLink('');
    setText('DuelSpoken', '');
    setText('TransferStatus', '');
    $('CopyResult').disabled = true;
    $('CopyResultBBCode').disabled = true;
    // What the page then shows is not spoken as a change.
    oddsSpoken = null;
    if (!asRead) fitLogs();
    // A core just started throws the page's own dice already.
    const clockList = Address.clockList();
    setText('PageNotice', asRead && clockList === null ? '' : call(core.setClockList, clockList).message);
  }

  // Opening a duel link: the fields it carries, and the duel replayed with
  // its readings. A link that does not read leaves the start-up screen.
  function openDuelLink(fragment) {
    const link = call(core.readDuelLink, fragment);
    if (link.message) {
      setText('PageNotice', link.message);
      bringIntoView($('LinkNotices'));
      return;
    }
    writeDuelFields(link.fields);
    const replayed = call(core.runDuelWithReadings, link.fields, link.readings);
    showDuelTexts(replayed);
    setText('ReplayMark', facts.texts.kReplayMark);
    show('ReplayMark');
    bringIntoView($('LinkNotices'), $('T' + logResults[0].name), $(logResults[logResults.length - 1].name));
  }

  // A verification link of the fair duel (fair.js) is the fair duel's to
  // open; any other fragment is a duel link.
  function openFragment(fragment) {
    const fair = window.SaberlineFair;
    if (fair && fair.claims(fragment)) return fair.openLink(fragment);
    return openDuelLink(fragment);
  }

  // Whoever shows something that belongs to the fields as they stand (the
  // fair duel) hears of every change of them: typed, chosen, or written by a
  // handler.
  const editListeners = [];
  const edited = () => { for (const listener of editListeners) listener(); };

  // Runs a handler to its end; an error escaping it is shown in the error
  // box and the page goes on. The odds follow every change of the fields.
  // A handler that waits for a box's answer holds off every other until it
  // ends (the page behind the box is inert as well); a link opened in the
  // meantime (the address's '#' changed) is kept and opened then.
  let busy = false;
  let settled = Promise.resolve();  // the last handler's end
  let waitingLink = null;  // the fragment of a link opened while busy
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
      edited();
      return Promise.resolve();
    }
    busy = true;
    settled = outcome
      .catch((error) => Dialogs.errorBox(error instanceof CoreError ? error.message : String(error && error.message)))
      .finally(() => {
        busy = false;
        refreshOdds();
        edited();
        if (waitingLink !== null) {
          const fragment = waitingLink;
          waitingLink = null;
          return openAddressedLink(fragment);
        }
      });
    return settled;
  }

  // A link opened in the address bar (or by following one to this page):
  // after what starting over would lose is asked about, as from the start.
  function openAddressedLink(fragment) {
    if (busy) {
      waitingLink = fragment;
      return settled;
    }
    return dispatch(async () => {
      if (!(await mayStartOver())) return;
      startUp();
      return openFragment(fragment);
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
    CopyResult: CopyResultClick,
    CopyResultBBCode: CopyResultBBCodeClick,
    OpenPastedLink: OpenPastedLinkClick,
  };

  // Without WebAssembly the page's first script (boot.js) has said so and
  // nothing more runs; a core that does not compile or instantiate says the
  // same.
  const noCore = () => document.documentElement.classList.add('no-core');
  if (!window.SaberlineWasm) return;
  window.SaberlineWasm.then(instantiate).then(start, (error) => {
    console.error(error);
    noCore();
  });

  // The core as boot.js compiled it while the page was read, given the three
  // functions it imports, its static data set up: its exports.
  async function instantiate(module) {
    let memory = null;
    const env = {
      abort: () => {
        throw new WebAssembly.RuntimeError('the core aborted');
      },
      // The allocator asks for `size` bytes of memory in all: 1 when given.
      emscripten_resize_heap: (size) => {
        const more = Math.ceil(((size >>> 0) - memory.buffer.byteLength) / 65536);
        try {
          if (more > 0) memory.grow(more);
          return 1;
        } catch (error) {
          return 0;
        }
      },
      // `count` 32-bit words of the browser's cryptographic random source.
      FillCryptoWords: (words, count) => {
        crypto.getRandomValues(new Uint32Array(memory.buffer, words, count));
      },
    };
    const { exports } = await WebAssembly.instantiate(module, { env });
    memory = exports.memory;
    exports.__wasm_call_ctors();
    return exports;
  }

  // The core's calls by name, as core.runDuel(fields) and so on: each crosses
  // as one JSON text each way, UTF-8 and ended by a zero byte (web/Bindings.cpp,
  // saberline_call). Bytes go in as Uint8Array and come back as Uint8Array.
  function coreCalls(exports) {
    const encoder = new TextEncoder();
    const decoder = new TextDecoder();
    const written = (text) => {
      const bytes = encoder.encode(text);
      const at = exports.malloc(bytes.length + 1);
      const heap = new Uint8Array(exports.memory.buffer, at, bytes.length + 1);
      heap.set(bytes);
      heap[bytes.length] = 0;
      return at;
    };
    const read = (at) => {
      const heap = new Uint8Array(exports.memory.buffer);
      const end = heap.indexOf(0, at);
      return decoder.decode(heap.subarray(at, end));
    };
    const hexBytes = (hex) => Uint8Array.from(hex.match(/../g) || [], (pair) => parseInt(pair, 16));
    const call = (name, args) => {
      const nameAt = written(name);
      const argsAt = written(JSON.stringify(args, (key, value) => (ArrayBuffer.isView(value) ? Array.from(value) : value)));
      const resultAt = exports.saberline_call(nameAt, argsAt);
      exports.free(nameAt);
      exports.free(argsAt);
      const json = read(resultAt);
      exports.free(resultAt);
      const result = JSON.parse(json, (key, value) =>
        (value !== null && typeof value === 'object' && typeof value.$bytes === 'string' ? hexBytes(value.$bytes) : value));
      if (result !== null && typeof result === 'object' && '$fault' in result) throw new Error(result.$fault);
      return result;
    };
    // Only names are calls: a promise's "then" or a symbol is not one.
    return new Proxy({}, {
      get: (target, name) => (typeof name === 'string' && name !== 'then' ? (...args) => call(name, args) : undefined),
    });
  }

  function start(exports) {
    core = coreCalls(exports);
    // The boxes' title, worked out when the first box opens.
    let applicationTitle;
    Object.defineProperty(facts, 'applicationTitle', {
      get: () => (applicationTitle ??= core.applicationTitle(Address.fileName())),
    });
    const form = $('Form1');
    form.addEventListener('submit', (event) => event.preventDefault());
    for (const [id, handler] of Object.entries(handlers))
      $(id).addEventListener('click', () => dispatch(handler));
    form.addEventListener('input', (event) => {
      if (event.target.matches('textarea.log')) {
        // A move log is one line, as the window's field: no line breaks.
        if (/[\r\n]/.test(event.target.value)) event.target.value = event.target.value.replace(/[\r\n]+/g, ' ');
        logsChanged();
      }
      if (event.target === refused) markRefused(null);
      refreshOdds();
      edited();
    });
    form.addEventListener('change', () => { refreshOdds(); edited(); });
    // Enter in a move log starts nothing, as in any of the window's fields.
    form.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' && event.target.matches('textarea.log')) event.preventDefault();
    });
    placeNotices();
    phone.addEventListener('change', placeNotices);
    // A new width wraps the logs anew.
    window.addEventListener('resize', () => { if (logsWritten) fitLogs(); });
    window.addEventListener('hashchange', () => {
      const fragment = Address.fragment();
      if (fragment) openAddressedLink(fragment);
    });
    dispatch(() => {
      startUp(true);
      const fragment = Address.fragment();
      if (fragment) return openFragment(fragment);
    }).then(() => {
      document.documentElement.dataset.ready = 'true';
      performance.mark('saberline-ready');
    });
  }

  // For the fair-duel mode and tests: the page's pieces, by name.
  window.Saberline = {
    Address, Dialogs, readDuelFields, writeDuelFields, showDuelTexts, refreshOdds, dispatch, copyText, copyLink,
    noteLink, bringIntoView, onEdited: (listener) => editListeners.push(listener), phone,
    core: () => core, facts: () => facts, settled: () => settled,
  };
})();
