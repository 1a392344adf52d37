// What the page's script and the core hand each other: a JSON value (text,
// number, true/false, null, array, object with its members in order) and
// bytes, which cross as {"$bytes": "hex"} so that the script gets a
// Uint8Array for the browser's cryptography. One JSON text crosses each way
// per call (see Bindings.cpp, saberline_call): no binding library, whose
// start-up the page would pay on every load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace saberline::web {

class Value {
public:
    enum class Kind : std::uint8_t { Undefined, Null, Bool, Number, String, Bytes, Array, Object };

    Value() = default;
    Value(const char* text) : kind_(Kind::String), text_(text) {}
    Value(std::string text) : kind_(Kind::String), text_(std::move(text)) {}
    Value(std::string_view text) : kind_(Kind::String), text_(text) {}
    Value(int number) : kind_(Kind::Number), number_(number) {}
    Value(unsigned number) : kind_(Kind::Number), number_(number) {}
    Value(double number) : kind_(Kind::Number), number_(number) {}
    Value(bool truth) : kind_(Kind::Bool), number_(truth ? 1 : 0) {}

    static Value null() { return Value(Kind::Null); }
    static Value array() { return Value(Kind::Array); }
    static Value object() { return Value(Kind::Object); }
    static Value bytes(std::string data) {
        Value value(Kind::Bytes);
        value.text_ = std::move(data);
        return value;
    }

    bool isUndefined() const noexcept { return kind_ == Kind::Undefined; }
    bool isNull() const noexcept { return kind_ == Kind::Null; }
    bool isString() const noexcept { return kind_ == Kind::String; }
    bool isNumber() const noexcept { return kind_ == Kind::Number; }
    bool isArray() const noexcept { return kind_ == Kind::Array; }
    bool isTrue() const noexcept { return kind_ == Kind::Bool && number_ != 0; }

    // An object's member (undefined when it has none); an array's item
    // (undefined past its end).
    Value operator[](std::string_view key) const;
    Value operator[](std::size_t index) const {
        return kind_ == Kind::Array && index < items_.size() ? items_[index] : Value();
    }
    std::size_t size() const noexcept { return items_.size(); }

    // Sets an object's member, replacing one of the same name.
    void set(std::string_view key, Value value);
    void push(Value value) { items_.push_back(std::move(value)); }

    // A text (empty for anything else), a number (0 for anything else).
    const std::string& text() const noexcept { return text_; }
    double number() const noexcept { return number_; }
    int integer() const noexcept { return static_cast<int>(number_); }
    // An array of numbers 0 to 255 as bytes; none for anything else.
    std::optional<std::vector<std::uint8_t>> byteArray() const;

    std::string Json() const;
    // The value a JSON text holds; none for a text that is not JSON. Strict
    // JSON (RFC 8259) as the command line reads it too: one value with
    // nothing around it but blanks (space, tab, line feed, carriage return;
    // a zero byte is none), strings of well-formed UTF-8 without raw control
    // characters, numbers without leading zeros, and finite as a double
    // (1e400 is refused), read to within a few units in the last place. Two
    // liberties, both for what a script may send: a \u escape of a lone
    // surrogate is kept as its three bytes, and the last of a repeated
    // member name counts. At most 32 arrays and objects deep.
    static std::optional<Value> Parse(std::string_view json);

private:
    explicit Value(Kind kind) : kind_(kind) {}
    void Write(std::string& out) const;

    Kind kind_ = Kind::Undefined;
    double number_ = 0;
    std::string text_;
    std::vector<Value> items_;             // an array's items, an object's values
    std::vector<std::string> keys_;        // an object's names, beside its values
};

}  // namespace saberline::web
