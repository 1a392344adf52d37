#include "ForumPost.h"

#include <initializer_list>
#include <utility>

#include "Texts.h"

namespace saberline {

namespace {

class Post {
public:
    explicit Post(PostFormat format) : bbcode_(format == PostFormat::BBCode) {}

    // A new paragraph.
    Post& Paragraph() {
        if (!text_.empty()) text_ += "\n\n";
        return *this;
    }
    Post& Line() {
        text_ += '\n';
        return *this;
    }
    Post& Plain(std::string_view text) {
        text_ += text;
        return *this;
    }
    Post& Caption(std::string_view caption) { return Tagged("b", caption); }
    Post& Log(std::string_view log) { return Tagged("code", log); }
    Post& Link(std::string_view link) { return Tagged("url", link); }

    std::string Take() { return std::move(text_); }

private:
    Post& Tagged(std::string_view tag, std::string_view text) {
        if (!bbcode_) return Plain(text);
        text_.append("[").append(tag).append("]").append(text).append("[/").append(tag).append("]");
        return *this;
    }

    bool bbcode_;
    std::string text_;
};

}  // namespace

std::string WriteForumPost(const DuelScreenTexts& shown, std::string_view duelLink, const FairPostParts* fair,
                           PostFormat format) {
    Post post(format);
    for (const DuelResult& result : kDuelResults) {
        const std::string& text = shown.*result.text;
        if (result.kind == ResultKind::Log)
            post.Paragraph().Caption(result.caption).Line().Log(text);
        else if (!text.empty())
            post.Paragraph().Plain(text);
    }
    if (!duelLink.empty()) post.Paragraph().Link(duelLink);
    if (fair && !fair->verificationLink.empty()) {
        post.Paragraph().Caption(texts::kPostVerificationLink).Line().Link(fair->verificationLink);
        const std::pair<const char*, const std::string*> commitments[] = {
            {texts::kPostCommitment, &fair->commitment},
            {texts::kPostCommitment1, &fair->commitment1},
            {texts::kPostCommitment2, &fair->commitment2},
        };
        for (const auto& [caption, commitment] : commitments)
            if (!commitment->empty()) post.Line().Caption(caption).Plain(" ").Plain(*commitment);
    }
    return post.Take();
}

}  // namespace saberline
