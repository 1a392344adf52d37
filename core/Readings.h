// Clock readings written as text: the list that `saberline-cli --clock`,
// the page's ?clock= and the duel link carry, and the well-formedness of
// field texts that arrive from outside a screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace saberline {

// Comma-separated unsigned 64-bit decimal readings. nullopt for an empty
// list or item, a sign, a blank, any other non-digit or a value above
// 2^64 - 1.
std::optional<std::vector<std::uint64_t>> ParseClockList(std::string_view list);

// The readings in the same form: decimal, comma-separated, no blanks.
std::string WriteClockList(const std::vector<std::uint64_t>& readings);

// Number of characters (code points) of a UTF-8 text; nullopt when the text
// is not well-formed UTF-8 (stray or missing continuation bytes, overlong
// forms, surrogates, values above U+10FFFF).
std::optional<std::size_t> CountUtf8Characters(std::string_view text);

}  // namespace saberline
