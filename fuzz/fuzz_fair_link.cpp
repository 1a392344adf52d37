// Fuzz target: the page reading a fair duel's verification link, pasted or
// opened by anyone: the bindings fairClaims and fairReadLink of
// web/FairBindings.cpp, as the page's script calls them.
//
// Input: the text as pasted.
//
// Checked: no crash, no undefined behaviour; a refusal is the page's
// "link damaged" (or "of another version") text with its reason; an accepted text is claimed as a
// verification, and holds exactly what an independent reading of the
// published grammar finds in it (written out below, not taken from the
// core): an address without "saberline-fair" and "#fair:", or "fair:", or
// nothing, then "saberline-fair-v3&rules=<the rules' version>&secret=<64
// lowercase hexadecimal digits>&word1=<word>&word2=<word>[&salt1=<hex>]
// [&salt2=<hex>]&TypeBattle=<1-3>" and the 18 fields in the screen's order,
// each value digits and '-'; the words, fields, fragment, secret and
// messages the page gets are those items.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "Call.h"
#include "DuelRequest.h"
#include "DuelRules.h"
#include "Texts.h"
#include "Value.h"

namespace {

using saberline::web::Value;

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "fuzz_fair_link: %s\n%.*s\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

Value Call(const char* name, const std::string& text) {
    for (const saberline::web::Binding& binding : saberline::web::kFairBindings) {
        if (std::strcmp(binding.name, name) != 0) continue;
        Value arguments = Value::array();
        arguments.push(Value(text));
        return binding.call(arguments);
    }
    Fail("no binding", name);
}

bool IsLowerHex(std::string_view text, std::size_t length) {
    return text.size() == length && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

bool IsWord(std::string_view text) {
    if (text.empty() || text.size() > 20) return false;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    return text == "0" || text.front() != '0';
}

bool HoldsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           }) != text.end();
}

// The verification a text carries by the published grammar, item by item
// in order; nullopt when it carries none.
struct Items {
    std::string verification;
    std::map<std::string, std::string> values;
};
std::optional<Items> ReadByGrammar(std::string_view text) {
    const std::string_view prefix = "fair:";
    if (text.substr(0, prefix.size()) == prefix) {
        text.remove_prefix(prefix.size());
    } else if (const std::size_t hash = text.find("#fair:"); hash != std::string_view::npos) {
        if (HoldsIgnoringCase(text.substr(0, hash), "saberline-fair")) return std::nullopt;
        text.remove_prefix(hash + 6);
    }
    Items items;
    items.verification = std::string(text);
    std::string_view rest = text;
    auto take = [&](std::string_view expected) {
        if (rest.substr(0, expected.size()) != expected) return false;
        rest.remove_prefix(expected.size());
        return true;
    };
    // One item "&key=value" whose value is up to the next '&'.
    auto item = [&](const std::string& key) -> std::optional<std::string> {
        const std::string head = "&" + key + "=";
        if (rest.substr(0, head.size()) != head) return std::nullopt;
        rest.remove_prefix(head.size());
        const std::size_t end = std::min(rest.find('&'), rest.size());
        std::string value(rest.substr(0, end));
        rest.remove_prefix(end);
        items.values[key] = value;
        return value;
    };
    if (!take("saberline-fair-v3")) return std::nullopt;
    const auto rules = item("rules");
    if (!rules || *rules != std::to_string(saberline::kRulesVersion)) return std::nullopt;
    const auto secret = item("secret");
    if (!secret || !IsLowerHex(*secret, 64)) return std::nullopt;
    for (const char* word : {"word1", "word2"}) {
        const auto value = item(word);
        if (!value || !IsWord(*value)) return std::nullopt;
    }
    for (const char* salt : {"salt1", "salt2"}) {
        const auto value = item(salt);
        if (value && !IsLowerHex(*value, 64)) return std::nullopt;
    }
    const auto type = item("TypeBattle");
    if (!type || (*type != "1" && *type != "2" && *type != "3")) return std::nullopt;
    for (const saberline::DuelField& field : saberline::kDuelFields) {
        const auto value = item(field.name);
        if (!value || !std::all_of(value->begin(), value->end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; }))
            return std::nullopt;
    }
    if (!rest.empty()) return std::nullopt;
    return items;
}

// Bytes the core hands the page (a Uint8Array there), in hexadecimal.
std::string HexOf(const Value& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes.text()) {
        const auto byte = static_cast<std::uint8_t>(c);
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Value read = Call("fairReadLink", text);
    const bool claimed = Call("fairClaims", text).isTrue();
    const std::string message = read["message"].text();
    const std::optional<Items> items = ReadByGrammar(text);
    if (!message.empty()) {
        bool reasoned = false;
        for (const char* lead : {saberline::texts::kFairLinkBad, saberline::texts::kFairLinkOtherVersion})
            reasoned = reasoned || (message.rfind(lead, 0) == 0 && message.size() > std::strlen(lead));
        if (!reasoned) Fail("a refusal without the page's reason", text);
        return 0;
    }
    if (!claimed) Fail("accepted a text the page does not take for a verification", text);
    if (!items) Fail("accepted a text outside the published grammar", text);
    if (read["fragment"].text() != "fair:" + items->verification) Fail("the fragment is not the text's", text);
    if (read["word1"].text() != items->values.at("word1") || read["word2"].text() != items->values.at("word2"))
        Fail("the words are not the text's", text);
    if (HexOf(read["secret"]) != items->values.at("secret")) Fail("the secret is not the text's", text);
    const Value fields = read["fields"];
    for (const saberline::DuelField& field : saberline::kDuelFields)
        if (fields[field.name].text() != items->values.at(field.name)) Fail("a field is not the text's", text);
    if (std::to_string(fields["TypeBattle"].integer()) != items->values.at("TypeBattle"))
        Fail("the duel type is not the text's", text);
    if (read["messages"].size() != 100) Fail("not 100 messages to sign", text);
    const Value words = read["wordMessages"];
    for (std::size_t k = 0; k < 2; ++k)
        if (words[k].isNull() != !items->values.count(k == 0 ? "salt1" : "salt2"))
            Fail("a player's commitment to hash without its salt, or a salt without one", text);
    return 0;
}
