// The rules' version stands guard over the rules' output. The known answers
// of docs/fair-vectors.json pin both together: every case fought again with
// its own readings must give its logs and message, and the file must name
// the version the core names. When a change to the rules changes what they
// output, this says to take the next version and remake the known answers,
// so that fair duels published under the old rules are refused with both
// versions named instead of failing to verify.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <fstream>
#include <string>
#include <variant>

#include "DuelRequest.h"
#include "Fair.h"

namespace saberline::fair {
namespace {

using Json = nlohmann::json;

constexpr const char* kRemake =
    "build the command line, then run `python3 tools/fair_vectors.py make build/cli/saberline-cli "
    "docs/fair-vectors.json`";

DuelRequest RequestOf(const Json& texts) {
    DuelRequest request;
    request.type = static_cast<DuelType>(texts.at("TypeBattle").get<int>());
    for (const DuelField& field : kDuelFields) FieldText(request, field) = texts.at(field.name).get<std::string>();
    return request;
}

Readings ReadingsOf(const Json& hex) {
    Readings readings{};
    for (std::size_t n = 0; n < readings.size(); ++n)
        readings[n] = std::stoull(hex.at(n).get<std::string>(), nullptr, 16);
    return readings;
}

TEST(RulesVersion, TheKnownAnswersPinTheRulesOutput) {
    std::ifstream file(SABERLINE_FAIR_VECTORS);
    const Json vectors = Json::parse(file);
    const int pinned = vectors.at("rules").get<int>();
    ASSERT_EQ(pinned, kRulesVersion) << "kRulesVersion (core/DuelRules.h) is " << kRulesVersion
                                     << ", but docs/fair-vectors.json holds the known answers of rules version "
                                     << pinned << ": remake them: " << kRemake;
    const std::string advice =
        "A change to the rules' output takes the next rules version: set kRulesVersion in core/DuelRules.h to " +
        std::to_string(pinned + 1) + " and remake the known answers (" + kRemake +
        "). Fair duels published under rules version " + std::to_string(pinned) +
        " are then refused with both versions named, instead of failing to verify with nothing to say why.";
    int fought = 0;
    for (const Json& c : vectors.at("cases")) {
        const std::string name = c.at("name");
        const auto canonical = Canonicalise(RequestOf(c.at("request")));
        if (const auto* message = std::get_if<std::string>(&canonical)) {
            EXPECT_EQ(*message, c.at("ErrorText").get<std::string>())
                << "The rules now refuse the request of \"" << name << "\" otherwise. " << advice;
            continue;
        }
        ASSERT_TRUE(c.contains("readings")) << "The rules now accept the refused request of \"" << name << "\". "
                                            << advice;
        const DuelScreenTexts texts = RunFairDuel(std::get<CanonicalDuel>(canonical), ReadingsOf(c.at("readings")));
        const bool same = texts.InfoBM1 == c.at("InfoBM1") && texts.InfoBM2 == c.at("InfoBM2") &&
                          texts.ErrorText == c.at("ErrorText");
        EXPECT_TRUE(same) << "The rules now fight \"" << name << "\" otherwise than its known answer, with the "
                          << "same readings.\n  now:   " << texts.InfoBM1 << " / " << texts.InfoBM2 << " / "
                          << texts.ErrorText << "\n  known: " << c.at("InfoBM1").get<std::string>() << " / "
                          << c.at("InfoBM2").get<std::string>() << " / " << c.at("ErrorText").get<std::string>()
                          << "\n"
                          << advice;
        ++fought;
    }
    // Each duel type and each way a duel ends stand among the known answers.
    EXPECT_GE(fought, 6);
}

}  // namespace
}  // namespace saberline::fair
