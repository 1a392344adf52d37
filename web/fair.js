'use strict';
// The fair duel on the page: commit and reveal, as `saberline-cli fair`.
// The referee makes a secret and posts its commitment; the players post
// their words; the referee fights and copies the verification link; anyone
// who opens the link checks it against the commitment and logs posted in
// the thread.
//
// This script does only what the core cannot: the browser's cryptography
// (crypto.getRandomValues for the secret, crypto.subtle for SHA-256 and
// HMAC-SHA-256, both asynchronous). The messages to sign, the readings, the
// duel, the link and every text shown come from the core's fair bindings.
(function () {
  const $ = (id) => document.getElementById(id);
  const page = () => window.Saberline;
  const core = () => page().core();

  // --- The browser's cryptography ---------------------------------------------
  const subtle = () => {
    if (!window.crypto || !crypto.subtle) throw new Error(core().fairFacts().noCrypto);
    return crypto.subtle;
  };
  async function sha256(bytes) {
    return new Uint8Array(await subtle().digest('SHA-256', bytes));
  }
  // HMAC-SHA-256 of every message, keyed with the secret.
  async function signAll(secret, messages) {
    const key = await subtle().importKey('raw', secret, { name: 'HMAC', hash: 'SHA-256' }, false, ['sign']);
    const macs = await Promise.all(messages.map((message) => subtle().sign('HMAC', key, message)));
    return macs.map((mac) => new Uint8Array(mac));
  }

  // --- The referee's side -------------------------------------------------------
  const setText = (id, text) => { $(id).textContent = text; };
  const setValue = (id, text) => { $(id).value = text; };

  let link = '';  // the last fair duel's verification link
  function setLink(fragment) {
    link = fragment ? page().Address.withFragment(fragment) : '';
    setValue('FairLink', link);
    $('FairCopyLink').disabled = !link;
    page().noteLink($('FairLinkNote'), link, [$('FairCopyLink')]);
  }

  // The commitment of the secret as it stands in its field (empty while the
  // field holds no secret).
  let commitmentShown = Promise.resolve();
  function showCommitment() {
    const read = core().fairReadSecret($('FairSecret').value.trim());
    if (read.message) {
      setValue('FairCommitment', '');
      return Promise.resolve();
    }
    commitmentShown = sha256(read.secret).then((hash) => setValue('FairCommitment', core().fairHex(hash)));
    return commitmentShown;
  }

  async function FairCommitClick() {
    const secret = crypto.getRandomValues(new Uint8Array(core().fairFacts().secretBytes));
    setValue('FairSecret', core().fairHex(secret));
    setText('FairMessage', '');
    setLink('');
    await showCommitment();
  }

  async function FairBattleClick() {
    const secret = $('FairSecret').value.trim();
    const word1 = $('FairWord1').value;
    const word2 = $('FairWord2').value;
    const fields = page().readDuelFields();
    setLink('');
    const toSign = core().fairToSign(secret, word1, word2, fields);
    if (toSign.message) {
      setText('FairMessage', toSign.message);
      return;
    }
    // A request the rules refuse takes no readings and gives no link.
    if (toSign.refused) {
      $('ReplayMark').hidden = true;
      page().showDuelTexts({ InfoBM1: '', InfoBM2: '', ErrorText: toSign.refused, link: '' });
      setText('FairMessage', toSign.refused);
      return;
    }
    const macs = await signAll(toSign.secret, toSign.messages);
    const fought = core().fairDuel(secret, word1, word2, fields, macs);
    if (fought.message) {
      setText('FairMessage', fought.message);
      return;
    }
    setText('FairMessage', '');
    $('ReplayMark').hidden = true;
    page().showDuelTexts({ InfoBM1: fought.InfoBM1, InfoBM2: fought.InfoBM2, ErrorText: fought.ErrorText, link: '' });
    $('FairLink').dataset.readings = fought.readings.join(',');
    setLink(fought.fragment);
    await showCommitment();
  }

  function FairCopyLinkClick() {
    if (link) page().copyLink($('FairLink'), link);
  }

  // --- Opening a verification link ------------------------------------------------
  // The link's request fills the duel screen; the logs stay empty until the
  // posted commitment and logs agree with what the link gives.
  let opened = null;  // { fragment, hash, macs } of the link being checked
  const noDuel = { InfoBM1: '', InfoBM2: '', ErrorText: '', link: '' };

  async function openLink(fragment) {
    opened = null;
    $('FairCheck').hidden = false;
    setText('FairCheckCommitment', '');
    setText('FairCheckWords', '');
    $('FairVerdict').className = 'failed';
    page().showDuelTexts(noDuel);
    page().bringIntoView($('FairCheck'));
    const read = core().fairReadLink(fragment);
    if (read.message) {
      setText('FairVerdict', read.message);
      return;
    }
    page().writeDuelFields(read.fields);
    setText('FairCheckWords', `«${read.word1}» и «${read.word2}»`);
    const [hash, macs] = await Promise.all([sha256(read.secret), signAll(read.secret, read.messages)]);
    opened = { fragment, hash, macs };
    setText('FairCheckCommitment', core().fairHex(hash));
    $('FairVerdict').className = '';
    setText('FairVerdict', read.verdict);
  }

  function FairCheckButtonClick() {
    if (!opened) return;
    const posted = {
      commitment: $('FairPostedCommitment').value.trim(),
      InfoBM1: $('FairPostedLog1').value,
      InfoBM2: $('FairPostedLog2').value,
      ErrorText: $('FairPostedMessage').value,
    };
    const check = core().fairCheck(opened.fragment, opened.hash, opened.macs, posted);
    page().showDuelTexts(check.replayed ? Object.assign({ link: '' }, check.replayed) : noDuel);
    $('FairVerdict').className = check.message ? '' : check.verified ? 'verified' : 'failed';
    setText('FairVerdict', check.message || check.verdict);
    $('FairVerdict').dataset.differs = check.message ? '' : check.differs.join(',');
  }

  // --- Wiring ----------------------------------------------------------------
  const handlers = {
    FairCommit: FairCommitClick,
    FairBattle: FairBattleClick,
    FairCopyLink: FairCopyLinkClick,
    FairCheckButton: FairCheckButtonClick,
  };
  for (const [id, handler] of Object.entries(handlers))
    $(id).addEventListener('click', () => page().dispatch(handler));
  $('FairSecret').addEventListener('input', () => { if (core()) showCommitment(); });
  // The exit button's reset of the form, or a duel fought the ordinary way:
  // the logs no longer belong to a fair duel or a checked link.
  function forget() {
    opened = null;
    setLink('');
    $('FairCheck').hidden = true;
    setText('FairMessage', '');
    setText('FairVerdict', '');
  }
  $('Form1').addEventListener('reset', forget);
  $('GoBattle').addEventListener('click', forget);

  // The page hands over the fragments that are verification links.
  window.SaberlineFair = {
    claims: (fragment) => fragment.startsWith(core().fairFacts().linkPrefix),
    openLink,
    // The commitment shown once the secret's SHA-256 is worked out.
    commitmentShown: () => commitmentShown,
  };
})();
