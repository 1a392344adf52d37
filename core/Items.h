// The "key=value&key=value" texts that carry a duel in a link: the duel link
// and the fair duel's verification. Each has its own published layout (which
// items, in which order, how values are written); this is what they share:
// reading and writing one item, and hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace saberline::items {

// One item of a text: the key, and the value after the first '=' (none when
// the item has no '='; then `key` is the whole item).
struct Item {
    std::string_view key;
    std::optional<std::string_view> value;
};

// The items between the '&'s, in order; an empty text is one empty item.
std::vector<Item> Split(std::string_view text);

// Appends "key=value", after a '&' unless the text is still empty.
void Append(std::string& text, std::string_view key, std::string_view value);

// The value of a hexadecimal digit (either case), or -1.
int HexValue(char c) noexcept;

// Lower-case hexadecimal digits, by value.
inline constexpr char kHexDigits[] = "0123456789abcdef";

// Two lower-case hexadecimal digits a byte.
std::string ToHex(std::span<const std::uint8_t> bytes);

}  // namespace saberline::items
