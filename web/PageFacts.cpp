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
#include "Json.h"
#include "Odds.h"
#include "Site.h"
#include "Texts.h"

using saberline::web::JsonWriter;

namespace {

using namespace saberline;

template <typename Field>
void InputField(JsonWriter& json, const Field& field) {
    json.BeginObject().Member("name", field.name).Member("startUp", field.startUp).Member("maxLength", field.maxLength);
}

}  // namespace

int main() {
    JsonWriter json;
    json.BeginObject();

    json.Key("duelFields").BeginArray();
    for (const DuelField& field : kDuelFields) {
        InputField(json, field);
        json.EndObject();
    }
    json.EndArray();

    json.Key("forumFields").BeginArray();
    for (const ForumTextField& field : kForumTextFields) {
        InputField(json, field);
        json.EndObject();
    }
    json.EndArray();

    json.Key("blackMarkBoxes").BeginArray();
    for (const BlackMarkBox& box : kBlackMarkBoxes)
        json.BeginObject().Member("name", box.name).Member("duellist", box.duellist + 1).EndObject();
    json.EndArray();

    json.Key("combatResults").BeginArray();
    for (const CombatResult& result : kCombatResults) {
        InputField(json, result);
        json.Member("transferTo", result.transferTo).EndObject();
    }
    json.EndArray();

    json.Key("oddsFigures").BeginArray();
    for (const OddsFigure& figure : kOddsFigures)
        json.BeginObject().Member("control", figure.control).Member("label", figure.pageLabel).EndObject();
    json.EndArray();

    json.Member("siteHost", kSiteHost).Member("siteAddress", SiteAddress());

    json.Key("fair").BeginObject();
    json.Member("secretBytes", static_cast<int>(fair::kSecretBytes))
        .Member("saltBytes", static_cast<int>(fair::kSaltBytes));
    json.EndObject();

    // Every fixed text, under its name in core/Texts.h: the page's markup
    // (@@kName@@) and script (facts.texts.kName) and the page's tests read
    // them from here.
    json.Key("texts").BeginObject();
#define TEXT(name) json.Member(#name, texts::name);
    TEXT(kInputError) TEXT(kCostumeError) TEXT(kDuplicateSides1) TEXT(kDuplicateSides2) TEXT(kSchemeEmpty1)
    TEXT(kSchemeEmpty2) TEXT(kSchemeBad1) TEXT(kSchemeBad2) TEXT(kLongDuel) TEXT(kLogBar) TEXT(kLogNoParry)
    TEXT(kLogLoserEnd) TEXT(kLogDrawEnd) TEXT(kLogUndecidedEnd) TEXT(kForumInputError) TEXT(kTransferRefused)
    TEXT(kTransferQuestion) TEXT(kTransferQuestionTitle) TEXT(kQuestionYes) TEXT(kQuestionNo) TEXT(kClockListBad)
    TEXT(kDuelLinkBad) TEXT(kReplayMark) TEXT(kLinkOnlyHere) TEXT(kNoCore) TEXT(kOddsHeading) TEXT(kOddsDuellist1)
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
    TEXT(kFairDiffersCommitment2) TEXT(kFairDiffersInfoBM1) TEXT(kFairDiffersInfoBM2) TEXT(kFairDiffersErrorText)
    TEXT(kFairNotCompared) TEXT(kFairPastedCleaned) TEXT(kFairLinkSpaces) TEXT(kFairEditedAfterCheck)
    TEXT(kFairEditedAfterDuel) TEXT(kFairSecretAtRisk) TEXT(kFairSaltAtRisk) TEXT(kFairLoseQuestion)
#undef TEXT
    json.EndObject();

    json.Key("duelMessages").BeginArray();
    for (const char* message : texts::kDuelMessages) json.Value(message);
    json.EndArray();

    json.EndObject();
    std::cout << json.Text() << '\n';
    return 0;
}
