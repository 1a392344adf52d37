// The system's fixed texts, in UTF-8, exactly as the referee shows them:
// declared here and defined once in Texts.cpp (in the same order, under the
// same comments), so that a change of a text's wording rebuilds Texts.cpp
// alone. Only their addresses are constants where this header is included;
// what needs a text's length takes it when it runs.
#pragma once

namespace saberline::texts {

// Duel screen messages.
extern const char kInputError[];
extern const char kCostumeError[];
extern const char kDuplicateSides1[];
extern const char kDuplicateSides2[];
extern const char kSchemeEmpty1[];
extern const char kSchemeEmpty2[];
extern const char kSchemeBad1[];
extern const char kSchemeBad2[];
extern const char kLongDuel[];

// Pieces of the move logs. The bar and the mark of a missed parry stay
// constants here: the log writer (MoveLog.h) builds each entry from their
// characters while compiling, so a change of them rebuilds what includes
// this header.
inline constexpr char kLogBar[] = " |";
inline constexpr char kLogNoParry[] = "/X)";
extern const char kLogLoserEnd[];
extern const char kLogDrawEnd[];
extern const char kLogUndecidedEnd[];

// Calculator and transfer.
extern const char kForumInputError[];
extern const char kTransferRefused[];
extern const char kTransferQuestion[];
extern const char kTransferQuestionTitle[];
// The question box's buttons, as the window shows them on a Russian system.
extern const char kQuestionYes[];
extern const char kQuestionNo[];

// The page's own notices: a ?clock= list it cannot read, a duel link it
// cannot read (a field's text that no field can show is named; %s stands
// for the field's name), and the mark of a duel replayed from a link, which
// proves nothing about its dice.
extern const char kClockListBad[];
extern const char kDuelLinkBad[];
extern const char kDuelLinkFieldControl[];
extern const char kDuelLinkFieldBad[];
extern const char kReplayMark[];
// Beside a link made on a copy of the page opened from disk.
extern const char kLinkOnlyHere[];

// The page's one screen where the browser cannot run the core.
extern const char kNoCore[];

// The page's exact odds: the heading and the caption of each figure.
extern const char kOddsHeading[];
extern const char kOddsDuellist1[];
extern const char kOddsDuellist2[];
extern const char kOddsBothFell[];
extern const char kOddsUndecided[];
extern const char kOddsExpectedMoves[];

// The page's exact odds by move, drawn as one picture: its name, its four
// bands (the chances by the end of each move), the caption of its moves,
// and its summary in one line: %s stands for the move by which the duel is
// decided with 90 % certainty (kOddsSummaryCertainty), or for the chance
// that it is decided within 100 moves when that stays below 90 %.
extern const char kOddsPictureName[];
extern const char kOddsPictureDuellist1[];
extern const char kOddsPictureDuellist2[];
extern const char kOddsPictureBothFell[];
extern const char kOddsPictureGoing[];
extern const char kOddsPictureMove[];
extern const char kOddsSummaryDecided[];
extern const char kOddsSummaryOpen[];

// The move logs' captions as the duel screen shows them; the result posted
// on a forum puts each log under its caption too.
extern const char kLogCaption1[];
extern const char kLogCaption2[];
// The steps that copy the whole result for a forum post: plain text (the
// page's button, the window's context-menu entry) and BBCode (the page).
extern const char kCopyResultCaption[];
extern const char kCopyResultBBCodeCaption[];
// What a fair duel adds to its post: the verification link and the
// commitments posted before the duel.
extern const char kPostVerificationLink[];
extern const char kPostCommitment[];
extern const char kPostCommitment1[];
extern const char kPostCommitment2[];

// What the transfer carried to the duel screen, said on the page after it:
// %s stands for the six results, duellist 1's firearm, cold-weapon and
// armour points, then duellist 2's.
extern const char kTransferDone[];

// The page's headings of the help and about screens, which show only a
// picture in the window; each screen's heading is what the page announces
// when the screen is shown.
extern const char kHelpScreenHeading[];
extern const char kAboutScreenHeading[];

// How to read the move logs, under the help screen's picture.
extern const char kHelpLogsHeading[];
extern const char kHelpLogsStart[];
extern const char kHelpLogsShot[];
extern const char kHelpLogsStrike[];
extern const char kHelpLogsEnd[];

// The conversion error's message; %s stands for the refused text.
extern const char kConvertErrorFormat[];

// Every message the duel screen's message line can show (besides empty).
inline constexpr const char* kDuelMessages[] = {
    kInputError,  kCostumeError, kDuplicateSides1, kDuplicateSides2, kSchemeEmpty1,
    kSchemeEmpty2, kSchemeBad1,  kSchemeBad2,      kLongDuel,
};

// The fair duel's buttons on the page.
extern const char kFairBattleCaption[];
extern const char kFairCheckCaption[];
extern const char kFairCommitCaption[];
extern const char kFairPlayerCommitCaption[];
extern const char kFairCheckSecretCaption[];

// The fair duel's order of posts, as the panel guides it, and what plain
// words (no players' commitments) leave to the referee.
extern const char kFairStep1[];
extern const char kFairStep2[];
extern const char kFairStep3[];
extern const char kFairStep4[];
extern const char kFairPlainWordsGuide[];

// The fair duel on the page: refusals of its inputs. A word's refusal is
// its owner followed by the problem; %s stands for the most digits a word
// has.
extern const char kFairSecretBad[];
extern const char kFairWordOwner1[];
extern const char kFairWordOwner2[];
extern const char kFairWordEmpty[];
extern const char kFairWordNotAscii[];
extern const char kFairWordNotDigit[];
extern const char kFairWordLeadingZero[];
extern const char kFairWordTooLong[];
// A field of the duel screen that a fair duel refuses; %s stands for the
// field's name.
extern const char kFairFieldControl[];
extern const char kFairFieldBad[];
// A player's salt given to the referee, each optional: %s stands for the
// salt's owner.
extern const char kFairSaltOwner1[];
extern const char kFairSaltOwner2[];
extern const char kFairSaltBad[];
// A player making a commitment to their own word: the word's refusal is this
// owner followed by the problem, as above.
extern const char kFairPlayerWordOwner[];
// Before the referee's commitment, and when there is none to fight against.
extern const char kFairCommitFirst[];
extern const char kFairRefereeCommitmentMissing[];
// The referee's commitment refused: the rules' message follows.
extern const char kFairCommitRefused[];
extern const char kFairCommitmentWithdrawn[];
// Step 2: the revealed secret against the referee's commitment.
extern const char kFairSecretOpens[];
extern const char kFairSecretDoesNotOpen[];
// A player's salt and commitment go together; %s stands for the owner.
extern const char kFairSaltWithoutCommitment[];
extern const char kFairCommitmentWithoutSalt[];
// A fight whose commitments do not open; %s stands for what does not open.
extern const char kFairDuelNotOpened[];
// After a fair duel without players' commitments.
extern const char kFairPlainWordsNote[];
// A player who types a word of their own instead of the drawn one.
extern const char kFairChosenWordWarning[];
extern const char kFairNoCrypto[];
// A failure of the browser's cryptography: the page's own, never a verdict.
extern const char kFairCryptoFailed[];

// Opening a verification link and checking it.
extern const char kFairLinkBad[];
// Instead of kFairLinkBad for a link of another format or rules' version,
// which is not damaged.
extern const char kFairLinkOtherVersion[];
// Why a verification link is refused (after kFairLinkBad); %s stands for
// the part of the link named, or for the two versions in order: the link's
// and the page's.
extern const char kFairLinkNotVerification[];
extern const char kFairLinkWrongVersion[];
// %s: the link's rules' version, the page's, and the page's format.
extern const char kFairLinkWrongRules[];
extern const char kFairLinkAddressHolds[];
extern const char kFairLinkNoEquals[];
extern const char kFairLinkUnknownItem[];
extern const char kFairLinkRepeatedItem[];
extern const char kFairLinkBadCharacter[];
extern const char kFairLinkMissingItem[];
extern const char kFairLinkSecretBad[];
extern const char kFairLinkSaltBad[];
extern const char kFairLinkTypeBad[];
extern const char kFairLinkFieldBad[];
extern const char kFairLinkRequestRefused[];
extern const char kFairLinkNotCanonical[];
extern const char kFairLinkOutOfOrder[];
// The players' words read from a verification link; %s stands for each.
extern const char kFairCheckWords[];
extern const char kFairEnterCommitment[];
// A posted commitment that is not one; %s stands for the commitment.
extern const char kFairCommitmentBad[];
extern const char kFairPostedCommitment[];
extern const char kFairPostedCommitment1[];
extern const char kFairPostedCommitment2[];
extern const char kFairEnterLogs[];
extern const char kFairVerified[];
// After «ПРОВЕРЕНО» when players' commitments were pasted and agree.
extern const char kFairVerifiedPlayers[];
extern const char kFairNotVerified[];
extern const char kFairDiffersCommitment[];
extern const char kFairDiffersCommitment1[];
extern const char kFairDiffersCommitment2[];
// After a verdict: %s stands for the players' commitments (named as above,
// joined by commas) whose salt the link carries and that were not pasted.
extern const char kFairSaltNotPosted[];
// Pasted logs that hold more than one log (a whole post): %s stands for the
// fields, named as above.
extern const char kFairPastedManyLogs[];
// After a verdict: %s stands for the pasted texts (named as above) from
// which what copying adds was left out.
extern const char kFairPastedCleaned[];
// Added to a verification link's refusal when the pasted text begins or
// ends with spaces or line breaks, which no link holds.
extern const char kFairLinkSpaces[];
// A field edited after a check or a fair duel: what was shown no longer
// belongs to the fields.
extern const char kFairEditedAfterCheck[];
extern const char kFairEditedAfterDuel[];
// Before a secret or a player's salt would be lost: the question, made of
// what would be lost and the question itself.
extern const char kFairSecretAtRisk[];
extern const char kFairVerificationAtRisk[];
extern const char kFairSaltAtRisk[];
extern const char kFairLoseQuestion[];

}  // namespace saberline::texts
