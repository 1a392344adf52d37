#include "DuelLink.h"

#include <algorithm>
#include <cstddef>

#include "Items.h"
#include "Readings.h"

namespace saberline {

namespace {

constexpr std::string_view kVersionKey = "duel";
constexpr std::string_view kVersion = "1";
constexpr std::string_view kTypeKey = "TypeBattle";
constexpr std::string_view kClockKey = "clock";
constexpr std::string_view kCheckSeparator = "&check=";
constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

std::uint32_t Fnv1a(std::string_view text) noexcept {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::string CheckText(std::string_view text) {
    const std::uint32_t hash = Fnv1a(text);
    std::string check(8, '0');
    for (int i = 0; i < 8; ++i)
        check[static_cast<std::size_t>(7 - i)] = items::kHexDigits[(hash >> (4 * i)) & 0xFu];
    return check;
}

// The value of an item that has that key ("key=" alone is an empty value).
std::optional<std::string_view> ValueOf(const items::Item& item, std::string_view key) {
    if (item.key != key) return std::nullopt;
    return item.value;
}

}  // namespace

std::string PercentEncode(std::string_view text) {
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                                byte == '~';
        if (unreserved) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kUpperHexDigits[byte >> 4]);
            encoded.push_back(kUpperHexDigits[byte & 0xFu]);
        }
    }
    return encoded;
}

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = items::HexValue(text[i + 1]);
        const int low = items::HexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return decoded;
}

std::string WriteDuelLink(const DuelRequest& request, const std::vector<std::uint64_t>& readings) {
    DuelRequest copy = request;
    std::string link;
    items::Append(link, kVersionKey, kVersion);
    for (const DuelField& field : kDuelFields) items::Append(link, field.name, PercentEncode(FieldText(copy, field)));
    items::Append(link, kTypeKey, std::string(1, static_cast<char>('0' + static_cast<int>(request.type))));
    items::Append(link, kClockKey, WriteClockList(readings));
    const std::string check = CheckText(link);
    link.append(kCheckSeparator).append(check);
    return link;
}

std::optional<DuelLink> ReadDuelLink(std::string_view link, DuelLinkRefusal* refusal) {
    const std::size_t checkAt = link.rfind(kCheckSeparator);
    if (checkAt == std::string_view::npos) return std::nullopt;
    const std::string_view body = link.substr(0, checkAt);
    if (link.substr(checkAt + kCheckSeparator.size()) != CheckText(body)) return std::nullopt;

    const std::vector<items::Item> read = items::Split(body);
    if (read.size() != kDuelFields.size() + 3) return std::nullopt;
    const auto version = ValueOf(read[0], kVersionKey);
    if (!version || *version != kVersion) return std::nullopt;

    DuelLink result{DuelRequest::StartUp(), {}};
    for (std::size_t i = 0; i < kDuelFields.size(); ++i) {
        const DuelField& field = kDuelFields[i];
        const auto value = ValueOf(read[i + 1], field.name);
        if (!value) return std::nullopt;
        std::optional<std::string> text = PercentDecode(*value);
        if (!text) return std::nullopt;
        // What a field cannot show, the replay must not read either.
        const TextProblem problem = CheckFieldText(*text, static_cast<std::size_t>(field.maxLength), true);
        if (problem != TextProblem::None) {
            if (refusal) *refusal = {&field, problem};
            return std::nullopt;
        }
        FieldText(result.request, field) = std::move(*text);
    }
    const auto type = ValueOf(read[kDuelFields.size() + 1], kTypeKey);
    if (!type || type->size() != 1 || (*type)[0] < '1' || (*type)[0] > '3') return std::nullopt;
    result.request.type = static_cast<DuelType>((*type)[0] - '0');

    const auto clock = ValueOf(read[kDuelFields.size() + 2], kClockKey);
    if (!clock) return std::nullopt;
    std::optional<std::vector<std::uint64_t>> readings = ParseClockList(*clock);
    if (!readings || readings->size() > static_cast<std::size_t>(kMaxMoves)) return std::nullopt;
    result.readings = std::move(*readings);
    return result;
}

}  // namespace saberline
