// The result of a duel as a referee posts it on the forum: both move logs
// under their captions, the message line when it says something, the
// duel's link, and after a fair duel the verification link and the
// commitments posted before it. Written once here, as plain text or as
// BBCode, for every shell: the page's two copy buttons, the window's copy
// step and `saberline-cli duel --bbcode`.
#pragma once

#include <string>
#include <string_view>

#include "DuelResults.h"

namespace saberline {

enum class PostFormat { Plain, BBCode };

// What a fair duel adds to its post. A commitment of a player who made none
// is empty.
struct FairPostParts {
    std::string verificationLink;
    std::string commitment;   // the referee's
    std::string commitment1;  // the player of duellist 1's
    std::string commitment2;  // the player of duellist 2's
};

// The post: paragraphs separated by an empty line. The logs and the message
// go in as the screen shows them; an empty message, duel link or fair part
// leaves its paragraph out. In BBCode each caption is bold, each log in
// [code], each link in [url]. The texts are not escaped: a duel's logs,
// messages and links hold no square brackets.
std::string WriteForumPost(const DuelScreenTexts& shown, std::string_view duelLink, const FairPostParts* fair,
                           PostFormat format);

}  // namespace saberline
