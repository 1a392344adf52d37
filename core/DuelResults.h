// The duel screen's outputs: what the duel button writes. kDuelResults is
// their one table. The window, the command line's JSON and text, the page's
// markup and script, the fair check and the forum post each read it, so a
// new output is a member here, a row in DuelResults.cpp, the line that fills
// it (Duel.cpp) and its control in the window's stored layout.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace saberline {

// Everything the duel button writes: the texts of InfoBM1, InfoBM2 and
// ErrorText; and, for a refused request, the control whose text the refusal
// concerns (the window shows no more than the message).
struct DuelScreenTexts {
    std::string InfoBM1;
    std::string InfoBM2;
    std::string ErrorText;
    const char* refusedField = nullptr;
};

// How an output is shown. A log is a read-only field the referee can select
// and scroll, several kilobytes long (a text field of the window, a growing
// text box of the page); a message line is one short line of text (a label),
// empty while there is nothing to say.
enum class ResultKind { Log, MessageLine };

struct DuelResult {
    const char* name;  // the control's name, the JSON key, the page element's id
    ResultKind kind;
    std::string DuelScreenTexts::*text;
    const char* caption;        // the caption a forum post puts above a log; nullptr for a message line
    const char* differsName;    // the output's name when a fair check finds that it differs
    const char* postedCaption;  // the caption of the fair check's field for the output as posted
};

// The table, in the order the screens and the command line's JSON give the
// outputs; its texts are in DuelResults.cpp, so that rewording one rebuilds
// that file alone.
inline constexpr std::size_t kDuelResultCount = 3;
extern const std::array<DuelResult, kDuelResultCount> kDuelResults;

// The output of that name, or nullptr.
inline const DuelResult* FindDuelResult(std::string_view name) {
    for (const DuelResult& result : kDuelResults)
        if (name == result.name) return &result;
    return nullptr;
}

// True when the duel button has written nothing (or everything was cleared).
inline bool NothingShown(const DuelScreenTexts& shown) {
    return std::all_of(kDuelResults.begin(), kDuelResults.end(),
                       [&](const DuelResult& result) { return (shown.*result.text).empty(); });
}

}  // namespace saberline
