// The boxes the window and the page show over a screen (the message dialog,
// the error box): their title, made from the program's own name, and the
// error box's text.
#pragma once

#include <string>
#include <string_view>

namespace saberline {

// Title of the error box and message dialog: the executable's file name
// without its folder, cut before its first '.', every character after the
// first in lower case.
std::string ApplicationTitle(std::string_view executablePath);

// Text of the error box: the message, with a '.' appended when the message
// is not empty and its last character's code is greater than that of '.'.
std::string ErrorBoxText(std::string_view message);

}  // namespace saberline
