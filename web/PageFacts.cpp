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

    json.Key("texts").BeginObject();
    json.Member("transferQuestion", texts::kTransferQuestion)
        .Member("transferQuestionTitle", texts::kTransferQuestionTitle)
        .Member("clockListBad", texts::kClockListBad)
        .Member("duelLinkBad", texts::kDuelLinkBad)
        .Member("replayMark", texts::kReplayMark)
        .Member("questionYes", texts::kQuestionYes)
        .Member("questionNo", texts::kQuestionNo)
        .Member("linkOnlyHere", texts::kLinkOnlyHere)
        .Member("oddsHeading", texts::kOddsHeading);
    json.Key("duelMessages").BeginArray();
    for (const char* message : texts::kDuelMessages) json.Value(message);
    json.EndArray();
    json.EndObject();

    json.EndObject();
    std::cout << json.Text() << '\n';
    return 0;
}
