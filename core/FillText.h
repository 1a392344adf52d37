// Texts of core/Texts.h with blanks: each "%s" filled in turn.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace saberline {

// The format with each "%s" replaced by the next of `parts`; a "%s" beyond
// the parts given stays as it is.
inline std::string FillText(std::string_view format, std::initializer_list<std::string_view> parts) {
    std::string text;
    const auto* part = parts.begin();
    for (std::size_t at = format.find("%s"); at != std::string_view::npos && part != parts.end();
         at = format.find("%s")) {
        text.append(format.substr(0, at)).append(*part++);
        format.remove_prefix(at + 2);
    }
    return text.append(format);
}

}  // namespace saberline
