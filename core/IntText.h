// Field texts and the numbers they hold: the one rule by which a text typed
// into a field becomes a game number, and a number becomes text again.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace saberline {

// The only error object of the system. Raised by TextToInt for a text the
// integer rule refuses; shown in the error box if it escapes a handler.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Checked conversion: true and the number on success. On refusal `value` is
// overwritten with a value that means nothing, and false is returned.
bool TryTextToInt(std::string_view text, std::int32_t& value) noexcept;

// Failing conversion: the number, or EConvertError with
// "'<text>' is not a valid integer value".
std::int32_t TextToInt(std::string_view text);

// Decimal text of a number: no leading zeros, "-" for negatives.
std::string IntToText(std::int32_t value);
// The same digits appended to `out`.
void AppendIntText(std::string& out, std::int32_t value);
// The same digits written at `out` (room for 11 characters); returns the end.
char* WriteIntText(char* out, std::int32_t value) noexcept;

}  // namespace saberline
