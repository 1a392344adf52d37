#include "Fair.h"

#include <algorithm>
#include <map>

#include "DuelLink.h"
#include "Readings.h"
#include "Utf8.h"

namespace saberline::fair {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendBigEndian32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFFu));
}

void AppendPiece(std::string& out, std::string_view piece) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(piece.size()));
    out.append(piece);
}

char TypeDigit(DuelType type) { return static_cast<char>('0' + static_cast<int>(type)); }

// The field texts of a request, in the order of kDuelFields.
std::array<std::string, kDuelFields.size()> FieldTexts(const DuelRequest& request) {
    DuelRequest copy = request;
    std::array<std::string, kDuelFields.size()> texts;
    for (std::size_t i = 0; i < kDuelFields.size(); ++i) texts[i] = FieldText(copy, kDuelFields[i]);
    return texts;
}

// A value as it may stand in a verification: printable ASCII without the
// separators & = and the fragment mark #, with %XX escapes decoded.
std::optional<std::string> DecodeValue(std::string_view value) {
    for (const char c : value)
        if (c <= ' ' || c >= 0x7F || c == '&' || c == '=' || c == '#') return std::nullopt;
    return PercentDecode(value);
}

// A piece of the verification as it may appear in a one-line reason: at
// most 40 bytes, anything but printable ASCII shown as '?'.
std::string Printable(std::string_view text) {
    std::string shown;
    for (const char c : text.substr(0, 40)) shown.push_back(c >= ' ' && c < 0x7F ? c : '?');
    return shown;
}

std::string Quote(std::string_view name) { return "\"" + Printable(name) + "\""; }

}  // namespace

std::string ToHex(std::span<const std::uint8_t> bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        hex.push_back(kHexDigits[byte >> 4]);
        hex.push_back(kHexDigits[byte & 0xFu]);
    }
    return hex;
}

std::optional<std::array<std::uint8_t, 32>> Hex32(std::string_view hex) {
    std::array<std::uint8_t, 32> bytes{};
    if (hex.size() != bytes.size() * 2) return std::nullopt;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexValue(hex[2 * i]);
        const int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

WordProblem CheckWord(std::string_view word) {
    if (word.empty()) return WordProblem::Empty;
    const std::optional<std::size_t> characters = CountUtf8Characters(word);
    if (!characters) return WordProblem::NotUtf8;
    if (*characters > kMaxWordCharacters) return WordProblem::TooLong;
    // In well-formed UTF-8 the controls U+0000..U+001F and U+007F are single
    // bytes, and U+0080..U+009F are C2 followed by 80..9F.
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto byte = static_cast<unsigned char>(word[i]);
        if (byte < 0x20 || byte == 0x7F) return WordProblem::ControlCharacter;
        if (byte == 0xC2 && static_cast<unsigned char>(word[i + 1]) <= 0x9F) return WordProblem::ControlCharacter;
    }
    return WordProblem::None;
}

std::string WordFault(std::string_view word) {
    switch (CheckWord(word)) {
        case WordProblem::None: break;
        case WordProblem::Empty: return "is empty";
        case WordProblem::NotUtf8: return "is not valid UTF-8";
        case WordProblem::TooLong: return "is longer than " + std::to_string(kMaxWordCharacters) + " characters";
        case WordProblem::ControlCharacter: return "contains a control character";
    }
    return {};
}

std::string CanonicalRequest(const DuelRequest& request) {
    std::string out;
    for (const std::string& text : FieldTexts(request)) AppendPiece(out, text);
    AppendPiece(out, std::string(1, TypeDigit(request.type)));
    return out;
}

std::string ReseedMessage(const FairDuel& duel, std::uint32_t reseed) {
    std::string message;
    AppendPiece(message, kVersion);
    message += CanonicalRequest(duel.request);
    AppendPiece(message, duel.word1);
    AppendPiece(message, duel.word2);
    AppendBigEndian32(message, reseed);
    return message;
}

std::uint64_t ReadingFromMac(std::span<const std::uint8_t, kDigestBytes> mac) {
    std::uint64_t reading = 0;
    for (std::size_t i = 0; i < 8; ++i) reading = (reading << 8) | mac[i];
    return reading;
}

DuelScreenTexts RunFairDuel(const DuelRequest& request, const Readings& readings) {
    // A duel takes at most one reseed per move, so the list is never used up.
    ListClock clock(std::vector<std::uint64_t>(readings.begin(), readings.end()));
    Dice dice(clock);
    return RunDuelRequest(request, dice);
}

std::string FormatVerification(const FairDuel& duel) {
    std::string text = kVersion;
    auto add = [&](std::string_view key, std::string_view value) {
        text += '&';
        text += key;
        text += '=';
        text += PercentEncode(value);
    };
    add("secret", ToHex(duel.secret));
    add("word1", duel.word1);
    add("word2", duel.word2);
    add("TypeBattle", std::string(1, TypeDigit(duel.request.type)));
    const auto texts = FieldTexts(duel.request);
    for (std::size_t i = 0; i < kDuelFields.size(); ++i) add(kDuelFields[i].name, texts[i]);
    return text;
}

std::string LinkFragment(const FairDuel& duel) { return kLinkPrefix + FormatVerification(duel); }

std::variant<FairDuel, std::string> ParseVerification(std::string_view text) {
    const std::string_view prefix = kLinkPrefix;
    if (text.substr(0, prefix.size()) == prefix) {
        text.remove_prefix(prefix.size());
    } else if (const std::size_t hash = text.find("#" + std::string(prefix)); hash != std::string_view::npos) {
        text.remove_prefix(hash + 1 + prefix.size());
    }
    const std::string versionTag = kVersion;
    const std::size_t firstAmpersand = std::min(text.find('&'), text.size());
    const std::string_view version = text.substr(0, firstAmpersand);
    if (version != versionTag) {
        if (version.substr(0, versionTag.size() - 2) == versionTag.substr(0, versionTag.size() - 2))
            return "the verification is of format " + Printable(version) + ", this program reads " +
                   versionTag;
        return "the verification does not start with " + versionTag;
    }

    std::map<std::string, std::string, std::less<>> values;
    std::size_t start = firstAmpersand;
    while (start < text.size()) {
        ++start;  // past '&'
        const std::size_t end = std::min(text.find('&', start), text.size());
        const std::string_view item = text.substr(start, end - start);
        start = end;
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            return "the verification has an item without '=': " + Quote(item);
        const std::string key(item.substr(0, equals));
        std::optional<std::string> value = DecodeValue(item.substr(equals + 1));
        if (!value) return "the value of " + Quote(key) + " in the verification is not well encoded";
        if (!values.emplace(key, std::move(*value)).second)
            return "the verification names " + Quote(key) + " more than once";
    }

    auto take = [&](const char* key) -> std::optional<std::string> {
        const auto found = values.find(key);
        if (found == values.end()) return std::nullopt;
        std::string value = std::move(found->second);
        values.erase(found);
        return value;
    };
    auto missing = [](const char* key) { return "the verification lacks " + Quote(key); };

    FairDuel duel;
    const std::optional<std::string> secret = take("secret");
    if (!secret) return missing("secret");
    const auto secretBytes = Hex32(*secret);
    if (!secretBytes) return "the secret in the verification is not 64 hexadecimal digits";
    duel.secret = *secretBytes;

    for (const auto& [key, word] : {std::pair{"word1", &duel.word1}, std::pair{"word2", &duel.word2}}) {
        std::optional<std::string> value = take(key);
        if (!value) return missing(key);
        const std::string fault = WordFault(*value);
        if (!fault.empty()) return Quote(key) + " in the verification " + fault;
        *word = std::move(*value);
    }

    const std::optional<std::string> type = take("TypeBattle");
    if (!type) return missing("TypeBattle");
    if (*type != "1" && *type != "2" && *type != "3")
        return "\"TypeBattle\" in the verification must be 1, 2 or 3";
    duel.request.type = static_cast<DuelType>((*type)[0] - '0');

    for (const DuelField& field : kDuelFields) {
        std::optional<std::string> value = take(field.name);
        if (!value) return missing(field.name);
        const std::string fault = FieldTextFault(*value, static_cast<std::size_t>(field.maxLength));
        if (!fault.empty()) return Quote(field.name) + " in the verification " + fault;
        FieldText(duel.request, field) = std::move(*value);
    }

    if (!values.empty()) return "the verification names an unknown item " + Quote(values.begin()->first);
    return duel;
}

FairCheck CheckFairDuel(const FairDuel& duel, const Digest& secretSha256, const Readings& readings,
                        const Posted& posted) {
    FairCheck check;
    check.commitment = ToHex(secretSha256);
    check.replayed = RunFairDuel(duel.request, readings);
    if (secretSha256 != posted.commitment) check.differs.emplace_back("commitment");
    if (check.replayed.InfoBM1 != posted.texts.InfoBM1) check.differs.emplace_back("InfoBM1");
    if (check.replayed.InfoBM2 != posted.texts.InfoBM2) check.differs.emplace_back("InfoBM2");
    if (check.replayed.ErrorText != posted.texts.ErrorText) check.differs.emplace_back("ErrorText");
    return check;
}

}  // namespace saberline::fair
