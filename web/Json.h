// A JSON text written piece by piece, for what the core hands to the page:
// objects and arrays of texts (UTF-8), numbers and true/false.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace saberline::web {

// Appends `text` (UTF-8) as a JSON string, quoted and escaped.
inline void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

class JsonWriter {
public:
    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }

    // The name of the next member of an object.
    JsonWriter& Key(std::string_view name) {
        Value(name);
        text_ += ':';
        afterKey_ = true;
        return *this;
    }

    JsonWriter& Value(std::string_view text) {
        Separate();
        AppendJsonString(text_, text);
        return *this;
    }
    JsonWriter& Value(const char* text) { return Value(std::string_view(text)); }
    JsonWriter& Value(const std::string& text) { return Value(std::string_view(text)); }
    JsonWriter& Value(int number) {
        Separate();
        text_ += std::to_string(number);
        return *this;
    }
    JsonWriter& Value(bool truth) {
        Separate();
        text_ += truth ? "true" : "false";
        return *this;
    }

    // A member: its name and value.
    template <typename T>
    JsonWriter& Member(std::string_view name, const T& value) {
        return Key(name).Value(value);
    }

    const std::string& Text() const noexcept { return text_; }

private:
    JsonWriter& Open(char bracket) {
        Separate();
        text_ += bracket;
        first_ = true;
        return *this;
    }
    JsonWriter& Close(char bracket) {
        text_ += bracket;
        first_ = false;
        return *this;
    }
    // A comma before every value but the first of its object or array, and
    // none after a member's name.
    void Separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_ && !text_.empty()) text_ += ',';
        first_ = false;
    }

    std::string text_;
    bool first_ = true;
    bool afterKey_ = false;
};

}  // namespace saberline::web
