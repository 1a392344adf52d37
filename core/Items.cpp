#include "Items.h"

namespace saberline::items {

std::vector<Item> Split(std::string_view text) {
    std::vector<Item> items;
    while (true) {
        const std::size_t end = text.find('&');
        const std::string_view item = text.substr(0, end);
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            items.push_back({item, std::nullopt});
        else
            items.push_back({item.substr(0, equals), item.substr(equals + 1)});
        if (end == std::string_view::npos) return items;
        text.remove_prefix(end + 1);
    }
}

void Append(std::string& text, std::string_view key, std::string_view value) {
    if (!text.empty()) text.push_back('&');
    text.append(key).append("=").append(value);
}

int HexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string ToHex(std::span<const std::uint8_t> bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        hex.push_back(kHexDigits[byte >> 4]);
        hex.push_back(kHexDigits[byte & 0xFu]);
    }
    return hex;
}

}  // namespace saberline::items
