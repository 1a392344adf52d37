// Prints, as one JSON object, what the page takes from the core when it is
// made: the fields the referee and the calculator read (names, start-up
// texts, lengths), the calculator's results and where the transfer puts
// them, the odds' figures, the community site, and the texts the page's
// markup and script show. web/make_page.py writes them into the page, so
// that each of these facts has its one home in core/.
//
// Built for node with the page's own toolchain and run while the page is
// made.
#include <iostream>

#include "Calculator.h"
#include "Duel.h"
#include "Fair.h"
#include "Odds.h"
#include "PageFields.h"
#include "Site.h"
#include "Texts.h"
#include "Value.h"

using saberline::web::Value;

namespace {

using namespace saberline;

template <typename Field>
Value InputField(const Field& field) {
    Value object = Value::object();
    object.set("name", field.name);
    object.set("startUp", field.startUp);
    object.set("maxLength", field.maxLength);
    return object;
}

}  // namespace

// Run when the page is made: an error that escapes ends it, and the build
// with it, which is what it should do.
int main() {  // NOLINT(bugprone-exception-escape)
    Value facts = Value::object();

    Value duelFields = Value::array();
    for (const DuelField& field : kDuelFields) duelFields.push(InputField(field));
    facts.set("duelFields", duelFields);

    Value forumFields = Value::array();
    for (const ForumTextField& field : kForumTextFields) forumFields.push(InputField(field));
    facts.set("forumFields", forumFields);

    Value boxes = Value::array();
    for (const BlackMarkBox& box : kBlackMarkBoxes) {
        Value object = Value::object();
        object.set("name", box.name);
        object.set("duellist", box.duellist + 1);
        boxes.push(object);
    }
    facts.set("blackMarkBoxes", boxes);

    Value results = Value::array();
    for (const CombatResult& result : kCombatResults) {
        Value object = InputField(result);
        object.set("transferTo", result.transferTo);
        results.push(object);
    }
    facts.set("combatResults", results);

    // The duel screen's outputs and how each is shown: make_page.py makes a
    // log's element and a message line's from it, and the fair check's field
    // for each as posted; the page's script fills them in this order.
    Value duelResults = Value::array();
    for (const DuelResult& result : kDuelResults) {
        Value object = Value::object();
        object.set("name", result.name);
        object.set("kind", result.kind == ResultKind::Log ? "log" : "message");
        object.set("differsName", result.differsName);
        object.set("postedCaption", result.postedCaption);
        duelResults.push(object);
    }
    facts.set("duelResults", duelResults);

    Value figures = Value::array();
    for (const OddsFigure& figure : kOddsFigures) {
        Value object = Value::object();
        object.set("control", figure.control);
        object.set("label", figure.pageLabel);
        figures.push(object);
    }
    facts.set("oddsFigures", figures);

    // The odds of the fields at their start-up texts, for each duel type
    // (TypeBattle 1, 2, 3): the page shows them on opening without asking
    // the core, which then compiles nothing before the page is ready.
    Value startUpOdds = Value::array();
    for (const DuelType type : {DuelType::Pistols, DuelType::ColdWeapons, DuelType::Mixed}) {
        DuelRequest request = DuelRequest::StartUp();
        request.type = type;
        startUpOdds.push(web::WriteDuelOdds(ComputeOdds(request)));
    }
    facts.set("startUpOdds", startUpOdds);

    facts.set("siteHost", kSiteHost);
    facts.set("siteAddress", SiteAddress());

    Value fairFacts = Value::object();
    fairFacts.set("secretBytes", static_cast<int>(fair::kSecretBytes));
    fairFacts.set("saltBytes", static_cast<int>(fair::kSaltBytes));
    fairFacts.set("wordBytes", static_cast<int>(fair::kWordBytes));
    facts.set("fair", fairFacts);

    // Every fixed text, under its name in core/Texts.h: the page's markup
    // (@@kName@@) and script (facts.texts.kName) and the page's tests read
    // them from here.
    Value named = Value::object();
#define TEXT(name) named.set(#name, texts::name);
    TEXT(kInputError) TEXT(kCostumeError) TEXT(kDuplicateSides1) TEXT(kDuplicateSides2) TEXT(kSchemeEmpty1)
    TEXT(kSchemeEmpty2) TEXT(kSchemeBad1) TEXT(kSchemeBad2) TEXT(kLongDuel) TEXT(kLogBar) TEXT(kLogNoParry)
    TEXT(kLogLoserEnd) TEXT(kLogDrawEnd) TEXT(kLogUndecidedEnd) TEXT(kForumInputError) TEXT(kTransferRefused)
    TEXT(kTransferQuestion) TEXT(kTransferQuestionTitle) TEXT(kQuestionYes) TEXT(kQuestionNo) TEXT(kClockListBad)
    TEXT(kDuelLinkBad) TEXT(kDuelLinkFieldControl) TEXT(kDuelLinkFieldBad)
    TEXT(kReplayMark) TEXT(kLinkOnlyHere) TEXT(kNoCore) TEXT(kOddsHeading) TEXT(kOddsDuellist1)
    TEXT(kOddsDuellist2) TEXT(kOddsBothFell) TEXT(kOddsUndecided) TEXT(kOddsExpectedMoves) TEXT(kConvertErrorFormat)
    TEXT(kFairBattleCaption) TEXT(kFairCheckCaption) TEXT(kFairPlayerCommitCaption) TEXT(kFairSecretBad)
    TEXT(kFairWordOwner1) TEXT(kFairWordOwner2) TEXT(kFairWordEmpty) TEXT(kFairWordNotAscii) TEXT(kFairWordNotDigit)
    TEXT(kFairWordLeadingZero) TEXT(kFairWordTooLong) TEXT(kFairFieldControl) TEXT(kFairFieldBad)
    TEXT(kFairSaltOwner1) TEXT(kFairSaltOwner2) TEXT(kFairSaltBad) TEXT(kFairPlayerWordOwner) TEXT(kFairNoCrypto)
    TEXT(kFairCryptoFailed) TEXT(kFairLinkBad) TEXT(kFairLinkNotVerification) TEXT(kFairLinkWrongVersion)
    TEXT(kFairLinkNoEquals) TEXT(kFairLinkUnknownItem) TEXT(kFairLinkRepeatedItem) TEXT(kFairLinkBadCharacter)
    TEXT(kFairLinkMissingItem) TEXT(kFairLinkSecretBad) TEXT(kFairLinkSaltBad) TEXT(kFairLinkTypeBad)
    TEXT(kFairLinkFieldBad) TEXT(kFairLinkRequestRefused) TEXT(kFairLinkNotCanonical) TEXT(kFairLinkOutOfOrder)
    TEXT(kFairCheckWords) TEXT(kFairEnterCommitment) TEXT(kFairCommitmentBad) TEXT(kFairPostedCommitment)
    TEXT(kFairPostedCommitment1) TEXT(kFairPostedCommitment2) TEXT(kFairEnterLogs) TEXT(kFairVerified)
    TEXT(kFairVerifiedPlayers) TEXT(kFairNotVerified) TEXT(kFairDiffersCommitment) TEXT(kFairDiffersCommitment1)
    TEXT(kFairDiffersCommitment2) TEXT(kFairSaltNotPosted) TEXT(kFairPastedCleaned) TEXT(kFairLinkSpaces)
    TEXT(kFairEditedAfterCheck)
    TEXT(kFairEditedAfterDuel) TEXT(kFairSecretAtRisk) TEXT(kFairSaltAtRisk) TEXT(kFairLoseQuestion)
    TEXT(kOddsPictureName) TEXT(kOddsPictureDuellist1) TEXT(kOddsPictureDuellist2) TEXT(kOddsPictureBothFell)
    TEXT(kOddsPictureGoing) TEXT(kOddsPictureMove) TEXT(kOddsSummaryDecided) TEXT(kOddsSummaryOpen)
    TEXT(kLogCaption1) TEXT(kLogCaption2) TEXT(kCopyResultCaption) TEXT(kCopyResultBBCodeCaption)
    TEXT(kPostVerificationLink) TEXT(kPostCommitment) TEXT(kPostCommitment1) TEXT(kPostCommitment2)
    TEXT(kTransferDone) TEXT(kHelpScreenHeading) TEXT(kAboutScreenHeading) TEXT(kHelpLogsHeading)
    TEXT(kHelpLogsStart) TEXT(kHelpLogsShot) TEXT(kHelpLogsStrike) TEXT(kHelpLogsEnd)
    // The fair duel of v3: the order of posts, the referee's commitment to the request, drawn words,
    // the forum post.
    TEXT(kFairCommitCaption) TEXT(kFairCheckSecretCaption) TEXT(kFairStep1) TEXT(kFairStep2) TEXT(kFairStep3)
    TEXT(kFairStep4) TEXT(kFairPlainWordsGuide) TEXT(kFairCommitFirst) TEXT(kFairRefereeCommitmentMissing)
    TEXT(kFairCommitRefused) TEXT(kFairCommitmentWithdrawn) TEXT(kFairSecretOpens) TEXT(kFairSecretDoesNotOpen)
    TEXT(kFairSaltWithoutCommitment) TEXT(kFairCommitmentWithoutSalt) TEXT(kFairDuelNotOpened)
    TEXT(kFairPlainWordsNote) TEXT(kFairChosenWordWarning) TEXT(kFairLinkWrongRules) TEXT(kFairLinkAddressHolds)
    TEXT(kFairPastedManyLogs) TEXT(kFairVerificationAtRisk) TEXT(kFairLinkOtherVersion)
#undef TEXT
    facts.set("texts", named);

    Value duelMessages = Value::array();
    for (const char* message : texts::kDuelMessages) duelMessages.push(message);
    facts.set("duelMessages", duelMessages);

    std::cout << facts.Json() << '\n';
    return 0;
}
