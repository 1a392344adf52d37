'use strict';
// The fair duel on the page: commit and reveal, as `saberline-cli fair`.
// The referee makes a secret and posts its commitment; each player posts a
// word, or first a commitment to it made here; the referee fights and copies
// the verification link; anyone who opens the link checks it against the
// commitments and logs posted in the thread.
//
// This script does only what the core cannot: the browser's cryptography
// (crypto.getRandomValues for secrets and salts, crypto.subtle for SHA-256
// and HMAC-SHA-256, both asynchronous). The messages to sign and hash, the
// readings, the duel, the link and every text shown come from the core's
// fair bindings. Nothing typed or pasted is trimmed, except what copying
// adds to the pasted logs and message of a check, and the check says so.
(function () {
  const $ = (id) => document.getElementById(id);
  const page = () => window.Saberline;
  // Without the core (no WebAssembly) the page shows its one message only.
  if (!page()) return;
  const core = () => page().core();
  const facts = () => page().facts();

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

  // --- Secrets that must not be lost silently -----------------------------------
  // The referee's secret is at risk while it stands in its field and no fair
  // duel has been fought with it; a player's word and salt while they are
  // shown (the page cannot know when they have been revealed). Losing either
  // voids the duel, so the page asks before a new commitment replaces one,
  // before the exit button or an opened link starts over, and before the
  // page is left.
  let foughtSecret = '';  // the secret of the last fair duel that gave a link
  const secretAtRisk = () => {
    const secret = $('FairSecret').value;
    return secret !== foughtSecret && !core().fairReadSecret(secret).message;
  };
  const saltAtRisk = () => $('FairPlayerSalt').value !== '';
  // Asks whether to go on although `lost` (texts of what would be lost)
  // would be lost; true at once when nothing would.
  async function mayLose(lost) {
    if (lost.length === 0) return true;
    const answer = await page().Dialogs.question(facts().applicationTitle,
      [...lost, facts().texts.kFairLoseQuestion].join(' '));
    return answer === 'yes';
  }
  const mayStartOver = () => mayLose([secretAtRisk() && facts().texts.kFairSecretAtRisk,
    saltAtRisk() && facts().texts.kFairSaltAtRisk]
    .filter(Boolean));
  window.addEventListener('beforeunload', (event) => {
    if (!core() || !(secretAtRisk() || saltAtRisk())) return;
    event.preventDefault();
    event.returnValue = '';
  });

  // --- What is shown belongs to the fields as they stand ---------------------------
  // A fair duel's logs and link, and a check's verdict and logs, go as soon
  // as a duel field, word, salt, secret or commitment is changed after them.
  const watched = ['FairSecret', 'FairWord1', 'FairWord2', 'FairSalt1', 'FairSalt2', 'FairPostedCommitment',
    'FairPostedCommitment1', 'FairPostedCommitment2', 'FairPostedLog1', 'FairPostedLog2', 'FairPostedMessage'];
  const snapshot = () => JSON.stringify([page().readDuelFields(), watched.map((id) => $(id).value)]);
  let shownFor = null;  // { kind: 'duel' or 'check', snapshot } of what is shown
  const noDuel = { InfoBM1: '', InfoBM2: '', ErrorText: '', link: '' };

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
    if (!shownFor || snapshot() === shownFor.snapshot) return;
    const kind = shownFor.kind;
    shownFor = null;
    page().showDuelTexts(noDuel);
    if (kind === 'duel') {
      setLink('');
      showPlayerCommitments([null, null]);
      setText('FairMessage', facts().texts.kFairEditedAfterDuel);
    } else {
      $('FairVerdict').className = '';
      $('FairVerdict').dataset.differs = '';
      setText('FairVerdict', facts().texts.kFairEditedAfterCheck);
      setText('FairCheckNote', '');
    }
  }

  // --- The referee's side -------------------------------------------------------
  let link = '';  // the last fair duel's verification link
  function setLink(fragment) {
    link = fragment ? page().Address.withFragment(fragment) : '';
    setValue('FairLink', link);
    refreshCopies();
    page().noteLink($('FairLinkNote'), link, [$('FairCopyLink')]);
  }

  // The commitment of the secret as it stands in its field (empty while the
  // field holds no secret).
  let commitmentShown = Promise.resolve();
  function showCommitment() {
    const read = core().fairReadSecret($('FairSecret').value);
    if (read.message) {
      setValue('FairCommitment', '');
      refreshCopies();
      return Promise.resolve();
    }
    commitmentShown = sha256(read.secret).then((hash) => {
      setValue('FairCommitment', hex(hash));
      refreshCopies();
    });
    return commitmentShown;
  }

  // The players' commitments a fair duel's salts give (null: no salt).
  function showPlayerCommitments(hashes) {
    players.forEach((d, i) => {
      $(`FairCommitment${d}Row`).hidden = !hashes[i];
      setText(`FairCommitment${d}`, hashes[i] ? hex(hashes[i]) : '');
    });
  }

  async function FairCommitClick() {
    if (secretAtRisk() && !(await mayLose([facts().texts.kFairSecretAtRisk]))) return;
    setValue('FairSecret', hex(fresh(facts().fair.secretBytes)));
    setText('FairMessage', '');
    setLink('');
    await showCommitment();
  }

  async function FairBattleClick() {
    const inputs = { secret: $('FairSecret').value };
    for (const d of players) {
      inputs['word' + d] = $('FairWord' + d).value;
      inputs['salt' + d] = $('FairSalt' + d).value;
    }
    const fields = page().readDuelFields();
    shownFor = null;
    setLink('');
    showPlayerCommitments([null, null]);
    const toSign = core().fairToSign(inputs, fields);
    if (toSign.message) {
      setText('FairMessage', toSign.message);
      return;
    }
    // A request the rules refuse takes no readings and gives no link.
    if (toSign.refused) {
      $('ReplayMark').hidden = true;
      page().showDuelTexts({ ...noDuel, ErrorText: toSign.refused });
      setText('FairMessage', toSign.refused);
      return;
    }
    const [macs, hashes, commitment] = await Promise.all([
      signAll(toSign.secret, toSign.messages), sha256All(toSign.wordMessages), sha256(toSign.secret)]);
    const fought = core().fairDuel(inputs, fields, macs);
    if (fought.message) {
      setText('FairMessage', fought.message);
      return;
    }
    setText('FairMessage', '');
    $('ReplayMark').hidden = true;
    page().showDuelTexts({ InfoBM1: fought.InfoBM1, InfoBM2: fought.InfoBM2, ErrorText: fought.ErrorText, link: '' });
    showPlayerCommitments(hashes);
    $('FairLink').dataset.readings = fought.readings.join(',');
    setLink(fought.fragment);
    setValue('FairCommitment', hex(commitment));
    foughtSecret = inputs.secret;
    shownFor = { kind: 'duel', snapshot: snapshot() };
    // The logs stand above the duel screen's extras: on a phone they come
    // into view.
    if (page().phone.matches) page().bringIntoView($('TInfoBM1'));
  }

  // --- A player's commitment ------------------------------------------------------
  async function FairPlayerCommitClick() {
    const made = core().fairPlayerCommitment($('FairPlayerWord').value, fresh(facts().fair.saltBytes));
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

  // --- Copying ------------------------------------------------------------------
  const copyHandlers = Object.fromEntries(Object.entries(copies).map(([button, field]) => [button, () => {
    if ($(field).value) page().copyText($(field).value, $(field));
  }]));

  // --- Opening a verification link ------------------------------------------------
  // The link's request fills the duel screen; the logs stay empty until the
  // posted commitments and logs agree with what the link gives. The check
  // comes into view, the referee's and the player's controls out of the way.
  let opened = null;  // { text, fields, hashes, macs } of the link being checked

  function showParts(checking) {
    $('FairCheck').hidden = !checking;
    $('FairReferee').hidden = checking;
    $('FairPlayer').hidden = checking;
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
    const read = core().fairReadLink(text);
    if (read.message) {
      setText('FairVerdict', read.message);
      return;
    }
    page().writeDuelFields(read.fields);
    setText('FairCheckWords', facts().texts.kFairCheckWords.replace('%s', read.word1).replace('%s', read.word2));
    let referee, hashes, macs;
    try {
      [referee, hashes, macs] = await Promise.all([
        sha256(read.secret), sha256All(read.wordMessages), signAll(read.secret, read.messages)]);
    } catch (error) {
      $('FairVerdict').className = '';
      setText('FairVerdict', error.message);
      throw error;
    }
    opened = { text, fields: read.fields, hashes: { referee, player1: hashes[0], player2: hashes[1] }, macs };
    setText('FairCheckCommitment', hex(referee));
    players.forEach((d, i) => {
      $(`FairCheckCommitment${d}Row`).hidden = !hashes[i];
      setText(`FairCheckCommitment${d}`, hashes[i] ? hex(hashes[i]) : '');
    });
    $('FairVerdict').className = '';
    setText('FairVerdict', read.verdict);
    page().bringIntoView($('FairCheck'));
  }

  // A pasted log or message without what copying adds: the spaces and line
  // breaks around it and the caption of its field; `cleaned` gets its name
  // when something was left out.
  function pasted(id, name, caption, cleaned) {
    const typed = $(id).value;
    let text = typed.trim();
    if (caption && text.startsWith(caption)) text = text.slice(caption.length).trim();
    if (text !== typed) cleaned.push(name);
    return text;
  }

  function FairCheckButtonClick() {
    if (!opened) return;
    page().writeDuelFields(opened.fields);
    const cleaned = [];
    const posted = {
      commitment: $('FairPostedCommitment').value,
      commitment1: $('FairPostedCommitment1').value,
      commitment2: $('FairPostedCommitment2').value,
      InfoBM1: pasted('FairPostedLog1', 'InfoBM1', $('TInfoBM1').textContent, cleaned),
      InfoBM2: pasted('FairPostedLog2', 'InfoBM2', $('TInfoBM2').textContent, cleaned),
      ErrorText: pasted('FairPostedMessage', 'ErrorText', '', cleaned),
      cleaned,
    };
    const check = core().fairCheck(opened.text, opened.hashes, opened.macs, posted);
    page().showDuelTexts(check.replayed ? { ...check.replayed, link: '' } : noDuel);
    $('FairVerdict').className = check.message ? '' : check.verified ? 'verified' : 'failed';
    setText('FairVerdict', check.message || check.verdict);
    setText('FairCheckNote', check.message ? '' : check.note);
    $('FairVerdict').dataset.differs = check.message ? '' : check.differs.join(',');
    $('FairCheck').dataset.readings = check.message ? '' : check.readings.join(',');
    shownFor = check.message ? null : { kind: 'check', snapshot: snapshot() };
  }

  // --- Wiring ----------------------------------------------------------------
  const handlers = {
    FairCommit: FairCommitClick,
    FairBattle: FairBattleClick,
    FairPlayerCommit: FairPlayerCommitClick,
    FairCheckButton: FairCheckButtonClick,
    ...copyHandlers,
  };
  for (const [id, handler] of Object.entries(handlers))
    $(id).addEventListener('click', () => page().dispatch(handler));
  // A secret typed or pasted shows its commitment; a failure of the
  // browser's cryptography shows when the duel is fought.
  $('FairSecret').addEventListener('input', () => { if (core()) showCommitment().catch(() => {}); });
  page().onEdited(edited);
  // The exit button's reset of the form, or a duel fought the ordinary way:
  // the logs no longer belong to a fair duel or a checked link.
  function forget() {
    opened = null;
    shownFor = null;
    setLink('');
    showPlayerCommitments([null, null]);
    showParts(false);
    for (const id of ['FairMessage', 'FairPlayerMessage', 'FairVerdict', 'FairCheckNote']) setText(id, '');
  }
  $('Form1').addEventListener('reset', forget);
  $('GoBattle').addEventListener('click', forget);

  // The page hands over the texts that are verification links, and asks
  // before starting over.
  window.SaberlineFair = {
    claims: (text) => core().fairClaims(text),
    openLink,
    mayStartOver,
    // The commitment shown once the secret's SHA-256 is worked out.
    commitmentShown: () => commitmentShown,
  };
})();
