// The core and its crypto held to the published known answers,
// docs/fair-vectors.json: canonical duel, message, readings, commitments,
// verification text and logs of every case.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "Fair.h"
#include "FairCrypto.h"

namespace {

namespace fair = saberline::fair;
using Json = nlohmann::json;

Json Vectors() {
    std::ifstream file(SABERLINE_FAIR_VECTORS);
    return Json::parse(file);
}

saberline::DuelRequest RequestOf(const Json& texts) {
    saberline::DuelRequest request;
    request.type = static_cast<saberline::DuelType>(texts.at("TypeBattle").get<int>());
    for (const saberline::DuelField& field : saberline::kDuelFields)
        FieldText(request, field) = texts.at(field.name).get<std::string>();
    return request;
}

std::optional<fair::Salt> SaltOf(const Json& c, const char* key) {
    if (!c.contains(key)) return std::nullopt;
    return *fair::Hex32(c.at(key).get<std::string>());
}

std::string HexOf(const std::string& bytes) {
    return fair::ToHex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

TEST(FairVectors, TheCoreGivesEveryPublishedAnswer) {
    const Json vectors = Vectors();
    EXPECT_EQ(vectors.at("format"), fair::kVersion);
    EXPECT_EQ(vectors.at("rules"), saberline::kRulesVersion);
    int accepted = 0;
    int refused = 0;
    int salted = 0;
    for (const Json& c : vectors.at("cases")) {
        SCOPED_TRACE(c.at("name").get<std::string>());
        fair::FairDuel duel;
        duel.secret = *fair::Hex32(c.at("secret").get<std::string>());
        duel.word1 = c.at("word1");
        duel.word2 = c.at("word2");
        duel.salt1 = SaltOf(c, "salt1");
        duel.salt2 = SaltOf(c, "salt2");
        salted += duel.salt1.has_value() + duel.salt2.has_value();

        auto canonical = fair::Canonicalise(RequestOf(c.at("request")));
        if (const auto* message = std::get_if<std::string>(&canonical)) {
            // No commitment binds a request the rules refuse.
            ++refused;
            EXPECT_FALSE(c.contains("verification"));
            EXPECT_FALSE(c.contains("commitment"));
            EXPECT_EQ(*message, c.at("ErrorText"));
            continue;
        }
        ++accepted;
        duel.duel = std::get<fair::CanonicalDuel>(canonical);
        EXPECT_EQ(HexOf(fair::RefereeCommitmentMessage(duel.secret, duel.duel)), c.at("commitment_message"));
        const fair::Commitments commitments = fair::NativeCommitments(duel);
        EXPECT_EQ(fair::ToHex(commitments.referee), c.at("commitment"));
        for (const auto& [key, commitment] : {std::pair{"commitment1", commitments.player1},
                                              std::pair{"commitment2", commitments.player2}}) {
            ASSERT_EQ(c.contains(key), commitment.has_value()) << key;
            if (commitment) {
                EXPECT_EQ(fair::ToHex(*commitment), c.at(key)) << key;
            }
        }
        EXPECT_EQ(fair::Canonicalise(RequestOf(c.at("canonical_request"))), canonical);
        saberline::DuelRequest written = fair::CanonicalRequest(duel.duel);
        for (const saberline::DuelField& field : saberline::kDuelFields)
            EXPECT_EQ(FieldText(written, field), c.at("canonical_request").at(field.name)) << field.name;
        EXPECT_EQ(HexOf(fair::MessagePrefix(duel)), c.at("message"));

        const fair::Readings readings = fair::NativeReadings(duel);
        for (std::size_t n = 0; n < readings.size(); ++n) {
            char hex[17];
            std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(readings[n]));
            EXPECT_EQ(hex, c.at("readings")[n]) << "reseed " << n + 1;
        }
        EXPECT_EQ(fair::FormatVerification(duel), c.at("verification"));
        const auto parsed = fair::ParseVerification(c.at("verification").get<std::string>());
        ASSERT_TRUE(std::holds_alternative<fair::FairDuel>(parsed));
        const fair::FairDuel& back = std::get<fair::FairDuel>(parsed);
        EXPECT_EQ(back.duel, duel.duel);
        EXPECT_EQ(back.salt1, duel.salt1);
        EXPECT_EQ(back.salt2, duel.salt2);

        const saberline::DuelScreenTexts texts = fair::RunFairDuel(duel.duel, readings);
        EXPECT_EQ(texts.InfoBM1, c.at("InfoBM1"));
        EXPECT_EQ(texts.InfoBM2, c.at("InfoBM2"));
        EXPECT_EQ(texts.ErrorText, c.at("ErrorText"));
    }
    for (const Json& p : vectors.at("player_commitments"))
        EXPECT_EQ(fair::ToHex(fair::PlayerCommitment(*fair::Hex32(p.at("salt").get<std::string>()),
                                                     p.at("word").get<std::string>())),
                  p.at("commitment"));
    // Each duel type, refusals and salts are there to be held to.
    EXPECT_GE(accepted, 6);
    EXPECT_GE(refused, 5);
    EXPECT_GE(salted, 4);
}

}  // namespace
