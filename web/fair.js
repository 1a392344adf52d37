'use strict';
// The fair duel on the page: commit and reveal, as `saberline-cli fair`, in
// the order of posts that leaves nobody anything to gain. Step 1: the
// referee commits to a secret and the duel screen as it stands, each player
// to a drawn word; step 2: the referee reveals the secret, which anyone
// checks against the commitment; step 3: the players reveal words and salts;
// step 4: anyone fights with everything posted and copies the verification
// link. Whoever opens the link checks it against the commitments and logs
// posted in the thread.
//
// This script does only what the core cannot: the browser's cryptography
// (crypto.getRandomValues for secrets, salts and words, crypto.subtle for
// SHA-256 and HMAC-SHA-256, both asynchronous). The messages to sign and
// hash, the commitments' checks, the readings, the duel, the link and every
// text shown come from the core's fair bindings. Nothing typed or pasted is
// trimmed, except what copying adds to the pasted logs and message of a
// check, and the check says so; a paste is read as pasted, line breaks
// included, which a one-line field would drop.
(function () {
  const $ = (id) => document.getElementById(id);
  const page = () => window.Saberline;
  // Without the core (no WebAssembly) the page shows its one message only.
  if (!page()) return;
  const core = () => page().core();
  const facts = () => page().facts();
  const fill = (text, ...parts) => parts.reduce((whole, part) => whole.replace('%s', part), text);
  // The duel screen's outputs (the core's table): those of a result, and the
  // names of the logs.
  const outputsOf = (result) => Object.fromEntries(facts().duelResults.map(({ name }) => [name, result[name]]));
  const logNames = () => facts().duelResults.filter(({ kind }) => kind === 'log').map(({ name }) => name);

  // --- The browser's cryptography ---------------------------------------------
  // Where the browser has none, or where it fails, the page says so in its
  // own words: a failure of the page is never taken for a verdict.
  const hasCrypto = () => !!(window.crypto && crypto.subtle && crypto.getRandomValues);
  async function crypted(work) {
    if (!hasCrypto()) throw new Error(facts().texts.kFairNoCrypto);
    try {
      return await work(crypto.subtle);
    } catch (error) {
      throw new Error(facts().texts.kFairCryptoFailed);
    }
  }
  const sha256 = (bytes) => crypted(async (subtle) => new Uint8Array(await subtle.digest('SHA-256', bytes)));
  // The SHA-256 of each message given; null for none.
  const sha256All = (messages) => Promise.all(messages.map((message) => (message ? sha256(message) : null)));
  // HMAC-SHA-256 of every message, keyed with the secret.
  const signAll = (secret, messages) => crypted(async (subtle) => {
    const key = await subtle.importKey('raw', secret, { name: 'HMAC', hash: 'SHA-256' }, false, ['sign']);
    const macs = await Promise.all(messages.map((message) => subtle.sign('HMAC', key, message)));
    return macs.map((mac) => new Uint8Array(mac));
  });
  const hex = (bytes) => core().fairHex(bytes);
  function fresh(count) {
    if (!hasCrypto()) throw new Error(facts().texts.kFairNoCrypto);
    return crypto.getRandomValues(new Uint8Array(count));
  }

  const setText = (id, text) => { $(id).textContent = text; };
  const setValue = (id, text) => { $(id).value = text; };
  const players = [1, 2];

  // --- Pastes as pasted --------------------------------------------------------
  // A one-line field drops the line breaks of a pasted text, so that a
  // verification, commitment or log with a line break would reach the core
  // intact on the command line but changed here. The paste's own text is
  // kept and read instead, for as long as the field shows what the paste
  // left in it: the page and saberline-cli then read the same texts.
  const pastes = new WeakMap();  // field -> { raw, shown }
  function keepPastes(field) {
    field.addEventListener('paste', (event) => {
      const clip = event.clipboardData ? event.clipboardData.getData('text/plain') : '';
      if (!clip) return;
      event.preventDefault();
      const start = field.selectionStart ?? field.value.length;
      const end = field.selectionEnd ?? field.value.length;
      const before = field.value.slice(0, start);
      const after = field.value.slice(end);
      const raw = before + clip + after;
      // What the field shows, as the browser's own paste would show it: line
      // breaks at the ends dropped, those inside as spaces.
      field.value = raw.replace(/^[\r\n]+|[\r\n]+$/g, '').replace(/\r\n|\r|\n/g, ' ');
      const caret = field.value.length - after.length;
      field.setSelectionRange(caret, caret);
      pastes.set(field, { raw, shown: field.value });
      field.dispatchEvent(new InputEvent('input', { bubbles: true, inputType: 'insertFromPaste' }));
    });
  }
  // A field's text: what was pasted into it, or what it shows.
  const textOf = (field) => {
    const kept = pastes.get(field);
    return kept && kept.shown === field.value ? kept.raw : field.value;
  };
  const read = (id) => textOf($(id));

  // --- What cannot be rebuilt ---------------------------------------------------
  // A fought verification not yet copied, with the secret it reveals; the
  // referee's secret made here and not yet fought; a player's word and salt
  // while they are shown (the page cannot know when they have been
  // revealed). Losing any of them voids the duel, so the page asks before a
  // new commitment replaces one, before the exit button or an opened link
  // starts over, and before the page is left.
  let madeSecret = '';    // the secret «Создать обязательство» made
  let copiedSecret = '';  // the secret of the last fair duel whose link was copied
  const verificationAtRisk = () => !!shownFor && shownFor.kind === 'duel' && shownFor.secret !== copiedSecret;
  const secretAtRisk = () => !!madeSecret && read('FairSecret') === madeSecret && madeSecret !== copiedSecret;
  const saltAtRisk = () => $('FairPlayerSalt').value !== '';
  // Asks whether to go on although `lost` (texts of what would be lost)
  // would be lost; true at once when nothing would.
  async function mayLose(lost) {
    if (lost.length === 0) return true;
    const answer = await page().Dialogs.question(facts().applicationTitle, [...lost, facts().texts.kFairLoseQuestion].join(' '));
    return answer === 'yes';
  }
  const refereeAtRisk = () => (verificationAtRisk() ? [facts().texts.kFairVerificationAtRisk]
    : secretAtRisk() ? [facts().texts.kFairSecretAtRisk] : []);
  const mayStartOver = () => mayLose([...refereeAtRisk(), ...(saltAtRisk() ? [facts().texts.kFairSaltAtRisk] : [])]);
  window.addEventListener('beforeunload', (event) => {
    if (!core() || !(verificationAtRisk() || secretAtRisk() || saltAtRisk())) return;
    event.preventDefault();
    event.returnValue = '';
  });

  // --- What is shown belongs to the fields as they stand ---------------------------
  // A fair duel's logs and link, and a check's verdict and logs, go as soon
  // as a duel field, word, salt, secret or commitment is changed after them;
  // the referee's commitment made here goes as soon as a duel field changes.
  const watched = ['FairSecret', 'FairCommitment', 'FairWord1', 'FairSalt1', 'FairCommitment1', 'FairWord2',
    'FairSalt2', 'FairCommitment2', 'FairPostedCommitment', 'FairPostedCommitment1', 'FairPostedCommitment2',
    ...facts().duelResults.map(({ name }) => `FairPosted${name}`)];
  const duelFields = () => JSON.stringify(page().readDuelFields());
  const snapshot = () => JSON.stringify([page().readDuelFields(), watched.map(read)]);
  // What is shown: { kind: 'duel' or 'check', snapshot, forum } where forum
  // holds what a forum post needs besides the logs.
  let shownFor = null;
  // The duel screen the referee's commitment made here binds, and that
  // commitment, while both stand.
  let committed = null;  // { fields, commitment }
  const noDuel = { link: '' };  // the duel screen's outputs all empty

  // A copy button is usable while its field holds something.
  const copies = {
    FairCopySecret: 'FairSecret', FairCopyCommitment: 'FairCommitment', FairCopyLink: 'FairLink',
    FairCopyPlayerWord: 'FairPlayerShownWord', FairCopyPlayerSalt: 'FairPlayerSalt',
    FairCopyPlayerCommitment: 'FairPlayerCommitment',
  };
  function refreshCopies() {
    for (const [button, field] of Object.entries(copies)) $(button).disabled = $(field).value === '';
  }

  function edited() {
    refreshCopies();
    $('FairOwnWordRow').hidden = !$('FairOwnWord').checked;
    // The commitment binds the request as it stood: a changed duel field
    // withdraws it. A commitment typed or pasted over it is the thread's.
    if (committed && read('FairCommitment') !== committed.commitment) committed = null;
    // The secret's verdict belongs to the secret, commitment and screen it
    // was given.
    if (secretCheckedFor && secretInputs() !== secretCheckedFor) {
      secretCheckedFor = null;
      $('FairSecretVerdict').className = '';
      setText('FairSecretVerdict', '');
    }
    if (committed && duelFields() !== committed.fields) {
      committed = null;
      setValue('FairCommitment', '');
      setText('FairCommitMessage', facts().texts.kFairCommitmentWithdrawn);
      refreshCopies();
    }
    if (!shownFor || snapshot() === shownFor.snapshot) return;
    const kind = shownFor.kind;
    shownFor = null;
    page().showDuelTexts(noDuel);
    if (kind === 'duel') {
      setLink('');
      setText('FairNote', '');
      setText('FairMessage', facts().texts.kFairEditedAfterDuel);
    } else {
      $('FairVerdict').className = '';
      $('FairVerdict').dataset.differs = '';
      setText('FairVerdict', facts().texts.kFairEditedAfterCheck);
      setText('FairCheckNote', '');
    }
  }

  // --- Step 1: the referee's commitment ----------------------------------------------
  let link = '';  // the last fair duel's verification link
  function setLink(fragment) {
    link = fragment ? page().Address.withFragment(fragment) : '';
    setValue('FairLink', link);
    refreshCopies();
    page().noteLink($('FairLinkNote'), link, [$('FairCopyLink')]);
  }

  async function FairCommitClick() {
    setText('FairSecretVerdict', '');
    const made = core().fairCommit(page().readDuelFields(), fresh(facts().fair.secretBytes));
    if (made.message) {
      setText('FairCommitMessage', made.message);
      return;
    }
    if (!(await mayLose(refereeAtRisk()))) return;
    const commitment = hex(await sha256(made.toHash));
    setText('FairCommitMessage', '');
    setValue('FairSecret', made.secret);
    setValue('FairCommitment', commitment);
    madeSecret = made.secret;
    committed = { fields: duelFields(), commitment };
    setLink('');
    setText('FairMessage', '');
    refreshCopies();
  }

  // --- Step 2: the revealed secret against the commitment ------------------------------
  // The secret, commitment and duel screen the verdict shown is about.
  let secretCheckedFor = null;
  const secretInputs = () => JSON.stringify([page().readDuelFields(), read('FairSecret'), read('FairCommitment')]);
  async function FairCheckSecretClick() {
    const verdict = $('FairSecretVerdict');
    verdict.className = '';
    setText('FairSecretVerdict', '');
    const inputs = { secret: read('FairSecret'), commitment: read('FairCommitment') };
    const toHash = core().fairSecretToHash(inputs, page().readDuelFields());
    if (toHash.message) {
      setText('FairSecretVerdict', toHash.message);
      return;
    }
    const checked = core().fairSecretVerdict(inputs.commitment, await sha256(toHash.toHash));
    verdict.className = checked.message ? '' : checked.verified ? 'verified' : 'failed';
    setText('FairSecretVerdict', checked.message || checked.verdict);
    secretCheckedFor = checked.message ? null : secretInputs();
  }

  // --- A player's commitment ------------------------------------------------------
  // The word is drawn unless the player chose, with its warning, to type one.
  async function FairPlayerCommitClick() {
    const own = $('FairOwnWord').checked;
    const drawn = own ? null : core().fairDrawnWord(fresh(facts().fair.wordBytes));
    if (drawn && drawn.message) {
      setText('FairPlayerMessage', drawn.message);
      return;
    }
    const made = core().fairPlayerCommitment(own ? read('FairPlayerWord') : drawn.word, fresh(facts().fair.saltBytes));
    if (made.message) {
      setText('FairPlayerMessage', made.message);
      return;
    }
    setText('FairPlayerMessage', '');
    if (saltAtRisk() && !(await mayLose([facts().texts.kFairSaltAtRisk]))) return;
    const commitment = hex(await sha256(made.toHash));
    setValue('FairPlayerShownWord', made.word);
    setValue('FairPlayerSalt', made.salt);
    setValue('FairPlayerCommitment', commitment);
  }

  // --- Step 4: the fight, for anyone holding what was posted ------------------------
  async function FairBattleClick() {
    const inputs = { secret: read('FairSecret'), commitment: read('FairCommitment') };
    for (const d of players)
      for (const key of ['word', 'salt', 'commitment']) inputs[key + d] = read(`Fair${key[0].toUpperCase()}${key.slice(1)}${d}`);
    const fields = page().readDuelFields();
    shownFor = null;
    setLink('');
    setText('FairNote', '');
    const toSign = core().fairToSign(inputs, fields);
    if (toSign.message) {
      setText('FairMessage', toSign.message);
      return;
    }
    // A request the rules refuse takes no readings and gives no link.
    if (toSign.refused) {
      $('ReplayMark').hidden = true;
      page().showDuelTexts({ ...toSign.shown, link: '' });
      setText('FairMessage', toSign.refused);
      return;
    }
    const [macs, hashes, referee] = await Promise.all([
      signAll(toSign.secret, toSign.messages), sha256All(toSign.wordMessages), sha256(toSign.refereeMessage)]);
    const fought = core().fairDuel(inputs, fields, macs, { referee, player1: hashes[0], player2: hashes[1] });
    if (fought.message) {
      setText('FairMessage', fought.message);
      $('FairMessage').dataset.differs = (fought.differs || []).join(',');
      return;
    }
    setText('FairMessage', '');
    $('FairMessage').dataset.differs = '';
    $('ReplayMark').hidden = true;
    page().showDuelTexts({ ...outputsOf(fought), link: '' });
    $('FairLink').dataset.readings = fought.readings.join(',');
    setLink(fought.fragment);
    setText('FairNote', fought.plainWords ? facts().texts.kFairPlainWordsNote : '');
    shownFor = { kind: 'duel', snapshot: snapshot(), secret: inputs.secret, forum: forumOf(link, fought.commitments) };
    // The logs stand above the duel screen's extras: on a phone they come
    // into view.
    if (page().phone.matches) page().bringIntoView($('T' + logNames()[0]));
  }

  // What a forum post of a fair duel needs besides the logs.
  function forumOf(verificationLink, commitments) {
    const parts = { verificationLink, commitment: commitments.commitment };
    for (const key of ['commitment1', 'commitment2']) if (commitments[key]) parts[key] = commitments[key];
    return parts;
  }

  // --- Copying ------------------------------------------------------------------
  const copyHandlers = Object.fromEntries(Object.entries(copies).map(([button, field]) => [button, () => {
    if (!$(field).value) return;
    page().copyText($(field).value, $(field));
    if (button === 'FairCopyLink') linkCopied();
  }]));
  // The fought link has been copied: it and its secret are safe.
  function linkCopied() {
    if (shownFor && shownFor.kind === 'duel') copiedSecret = shownFor.secret;
  }

  // --- Opening a verification link ------------------------------------------------
  // The link's request fills the duel screen; the logs stay empty until the
  // posted commitments and logs agree with what the link gives. The check
  // comes into view, the other parts out of the way.
  let opened = null;  // { text, fields, fragment, hashes, macs } of the link being checked

  function showParts(checking) {
    $('FairCheck').hidden = !checking;
    for (const id of ['FairGuide', 'FairReferee', 'FairPlayer', 'FairFight']) $(id).hidden = checking;
  }

  async function openLink(text) {
    opened = null;
    shownFor = null;
    showParts(true);
    for (const id of ['FairCheckCommitment', 'FairCheckWords', 'FairCheckNote']) setText(id, '');
    for (const d of players) $(`FairCheckCommitment${d}Row`).hidden = true;
    $('FairVerdict').className = 'failed';
    page().showDuelTexts(noDuel);
    page().bringIntoView($('FairCheck'));
    const link = core().fairReadLink(text);
    if (link.message) {
      setText('FairVerdict', link.message);
      return;
    }
    page().writeDuelFields(link.fields);
    setText('FairCheckWords', fill(facts().texts.kFairCheckWords, link.word1, link.word2));
    let referee, hashes, macs;
    try {
      [referee, hashes, macs] = await Promise.all([
        sha256(link.refereeMessage), sha256All(link.wordMessages), signAll(link.secret, link.messages)]);
    } catch (error) {
      $('FairVerdict').className = '';
      setText('FairVerdict', error.message);
      throw error;
    }
    opened = { text, fields: link.fields, fragment: link.fragment,
      hashes: { referee, player1: hashes[0], player2: hashes[1] }, macs };
    setText('FairCheckCommitment', hex(referee));
    players.forEach((d, i) => {
      $(`FairCheckCommitment${d}Row`).hidden = !hashes[i];
      setText(`FairCheckCommitment${d}`, hashes[i] ? hex(hashes[i]) : '');
    });
    $('FairVerdict').className = '';
    setText('FairVerdict', link.verdict);
    page().bringIntoView($('FairCheck'));
  }

  // A pasted log or message without what copying adds: the spaces and line
  // breaks around it and the caption of its field; `cleaned` gets its name
  // when something was left out. A pasted log that holds more than one log
  // (the caption of a log inside it, or more after a line break that ends a
  // log: a whole post pasted) goes to `mistaken`.
  function pasted(name, caption, cleaned, mistaken) {
    const typed = read(`FairPosted${name}`);
    let text = typed.trim();
    if (caption && text.startsWith(caption)) text = text.slice(caption.length).trim();
    if (text !== typed) cleaned.push(name);
    const captions = logNames().map((log) => $('T' + log).textContent);
    if (caption && (captions.some((c) => text.includes(c)) || /[;.][ \t]*\r?\n[\s\S]*\S/.test(text))) mistaken.push(name);
    return text;
  }

  function FairCheckButtonClick() {
    if (!opened) return;
    page().writeDuelFields(opened.fields);
    const cleaned = [];
    const mistaken = [];
    const posted = {
      commitment: read('FairPostedCommitment'),
      commitment1: read('FairPostedCommitment1'),
      commitment2: read('FairPostedCommitment2'),
      ...Object.fromEntries(facts().duelResults.map(({ name, kind }) =>
        [name, pasted(name, kind === 'log' ? $('T' + name).textContent : '', cleaned, mistaken)])),
      cleaned,
      mistaken,
    };
    const check = core().fairCheck(opened.text, opened.hashes, opened.macs, posted);
    page().showDuelTexts(check.replayed ? { ...check.replayed, link: '' } : noDuel);
    $('FairVerdict').className = check.message ? '' : check.verified ? 'verified' : 'failed';
    setText('FairVerdict', check.message || check.verdict);
    setText('FairCheckNote', check.message ? '' : check.note);
    $('FairVerdict').dataset.differs = check.message ? '' : check.differs.join(',');
    $('FairCheck').dataset.readings = check.message ? '' : check.readings.join(',');
    shownFor = check.message ? null : { kind: 'check', snapshot: snapshot(),
      forum: check.verified ? forumOf(page().Address.withFragment(opened.fragment), check.commitments) : null };
  }

  // --- Wiring ----------------------------------------------------------------
  const handlers = {
    FairCommit: FairCommitClick,
    FairCheckSecret: FairCheckSecretClick,
    FairBattle: FairBattleClick,
    FairPlayerCommit: FairPlayerCommitClick,
    FairCheckButton: FairCheckButtonClick,
    ...copyHandlers,
  };
  for (const [id, handler] of Object.entries(handlers))
    $(id).addEventListener('click', () => page().dispatch(handler));
  for (const field of document.querySelectorAll('#FairDuel input[type="text"]:not([readonly]), #PastedLink'))
    keepPastes(field);
  page().onEdited(edited);
  // A forum post copied with the fair duel's parts, plain or BBCode, holds its
  // link.
  for (const id of ['CopyResult', 'CopyResultBBCode'])
    $(id).addEventListener('click', () => { if (forumParts()) linkCopied(); });
  // The exit button's reset of the form, or a duel fought the ordinary way:
  // the logs no longer belong to a fair duel or a checked link.
  function forget() {
    opened = null;
    shownFor = null;
    setLink('');
    showParts(false);
    for (const id of ['FairMessage', 'FairPlayerMessage', 'FairVerdict', 'FairCheckNote', 'FairCommitMessage',
      'FairSecretVerdict', 'FairNote']) setText(id, '');
  }
  $('Form1').addEventListener('reset', () => {
    forget();
    committed = null;
    madeSecret = '';
  });
  $('GoBattle').addEventListener('click', forget);

  // The fair duel's parts of a forum post while its result is shown: the
  // verification link and the commitments (the players' only when in play);
  // null while no fair duel's result is shown.
  function forumParts() {
    return shownFor && shownFor.forum ? { ...shownFor.forum } : null;
  }

  // The page hands over the texts that are verification links, asks before
  // starting over, and reads pastes as pasted.
  window.SaberlineFair = {
    claims: (text) => core().fairClaims(text),
    openLink,
    mayStartOver,
    forumParts,
    textOf,
  };
})();
