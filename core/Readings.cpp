#include "Readings.h"

#include <algorithm>
#include <limits>

namespace saberline {

std::optional<std::vector<std::uint64_t>> ParseClockList(std::string_view list) {
    std::vector<std::uint64_t> readings;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view item = list.substr(start, comma - start);
        if (item.empty()) return std::nullopt;
        std::uint64_t value = 0;
        for (const char c : item) {
            if (c < '0' || c > '9') return std::nullopt;
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
            value = value * 10 + digit;
        }
        readings.push_back(value);
        if (comma == list.size()) return readings;
        start = comma + 1;
    }
}

std::string WriteClockList(const std::vector<std::uint64_t>& readings) {
    std::string list;
    list.reserve(readings.size() * 21);
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (i > 0) list.push_back(',');
        list += std::to_string(readings[i]);
    }
    return list;
}

std::optional<std::size_t> CountUtf8Characters(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1Fu, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0Fu, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07u, minimum = 0x10000;
        } else {
            return std::nullopt;  // a continuation byte, C0, C1 or F5..FF in lead position
        }
        if (text.size() - i <= extra) return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u) return std::nullopt;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
        i += extra + 1;
        ++count;
    }
    return count;
}

}  // namespace saberline
