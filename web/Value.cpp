#include "Value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Items.h"
#include "Readings.h"

namespace saberline::web {

namespace {

constexpr std::string_view kBytesKey = "$bytes";

// Appends `text` (UTF-8) as a JSON string, quoted and escaped.
void AppendJsonString(std::string& out, std::string_view text) {
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

// A JSON text read from the front: each Read* consumes what it read.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<Value> ReadValue(int depth) {
        if (depth > kMaxDepth) return std::nullopt;
        SkipSpace();
        if (text_.empty()) return std::nullopt;
        switch (text_.front()) {
            case '{': return ReadObject(depth);
            case '[': return ReadArray(depth);
            case '"': {
                std::optional<std::string> text = ReadString();
                if (!text) return std::nullopt;
                return Value(std::move(*text));
            }
            case 't': return Word("true", Value(true));
            case 'f': return Word("false", Value(false));
            case 'n': return Word("null", Value::null());
            default: return ReadNumber();
        }
    }

    bool AtEnd() {
        SkipSpace();
        return text_.empty();
    }

private:
    static constexpr int kMaxDepth = 32;

    void SkipSpace() {
        while (!text_.empty() && (text_.front() == ' ' || text_.front() == '\t' || text_.front() == '\n' ||
                                  text_.front() == '\r'))
            text_.remove_prefix(1);
    }
    bool Take(char c) {
        SkipSpace();
        if (text_.empty() || text_.front() != c) return false;
        text_.remove_prefix(1);
        return true;
    }
    std::optional<Value> Word(std::string_view word, Value value) {
        if (text_.substr(0, word.size()) != word) return std::nullopt;
        text_.remove_prefix(word.size());
        return value;
    }

    // A number as JSON writes it: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?.
    // The script hands over whole numbers (a duel type, bytes); a fraction or
    // an exponent is read to within a few units in the last place, without
    // the C library's strtod, which would weigh more than the rest of this
    // file: the first 19 significant digits as an integer, times a power of
    // ten.
    std::optional<Value> ReadNumber() {
        const bool negative = !text_.empty() && text_.front() == '-';
        if (negative) text_.remove_prefix(1);
        std::uint64_t digits = 0;
        int significant = 0;
        int exponent = 0;
        // `scale` is 0 for a digit before the point, -1 for one after it.
        auto take = [&](int digit, int scale) {
            if (digits == 0 && digit == 0) {
                exponent += scale;  // a leading zero
            } else if (significant < 19) {
                digits = digits * 10 + static_cast<unsigned>(digit);
                ++significant;
                exponent += scale;
            } else {
                exponent += 1 + scale;  // beyond 19 digits: a place kept, a fraction digit dropped
            }
        };
        // No digit after a leading zero ("01").
        if (text_.size() > 1 && text_[0] == '0' && text_[1] >= '0' && text_[1] <= '9') return std::nullopt;
        if (!ReadDigits([&](int digit) { take(digit, 0); })) return std::nullopt;
        if (!text_.empty() && text_.front() == '.') {
            text_.remove_prefix(1);
            if (!ReadDigits([&](int digit) { take(digit, -1); })) return std::nullopt;
        }
        if (!text_.empty() && (text_.front() == 'e' || text_.front() == 'E')) {
            text_.remove_prefix(1);
            const bool down = !text_.empty() && text_.front() == '-';
            if (!text_.empty() && (text_.front() == '-' || text_.front() == '+')) text_.remove_prefix(1);
            int written = 0;
            if (!ReadDigits([&](int digit) { written = std::min(written * 10 + digit, 100000); })) return std::nullopt;
            exponent += down ? -written : written;
        }
        double number = static_cast<double>(digits);
        if (digits != 0) {
            if (exponent > 0) {
                number *= std::pow(10.0, std::min(exponent, 400));
            } else if (exponent < 0) {
                // Beyond 10^308 in two steps, so that the divisor stays finite.
                if (exponent < -308) number /= 1e308, exponent += 308;
                number /= std::pow(10.0, std::min(-exponent, 400));
            }
        }
        if (!std::isfinite(number)) return std::nullopt;
        return Value(negative ? -number : number);
    }

    template <typename Digit>
    bool ReadDigits(Digit&& digit) {
        std::size_t count = 0;
        while (count < text_.size() && text_[count] >= '0' && text_[count] <= '9') digit(text_[count++] - '0');
        text_.remove_prefix(count);
        return count > 0;
    }

    std::optional<unsigned> ReadHex4() {
        if (text_.size() < 4) return std::nullopt;
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = items::HexValue(text_[static_cast<std::size_t>(i)]);
            if (digit < 0) return std::nullopt;
            code = code * 16 + static_cast<unsigned>(digit);
        }
        text_.remove_prefix(4);
        return code;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::optional<std::string> ReadString() {
        text_.remove_prefix(1);  // the opening quote
        std::string out;
        while (!text_.empty()) {
            const char c = text_.front();
            text_.remove_prefix(1);
            if (c == '"') return out;
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20) return std::nullopt;
            if (byte >= 0x80) {
                // One whole UTF-8 character: its lead byte says how long.
                const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
                const std::string_view character(text_.data() - 1, std::min(length, text_.size() + 1));
                if (CountUtf8Characters(character) != std::optional<std::size_t>(1)) return std::nullopt;
                out.append(character);
                text_.remove_prefix(character.size() - 1);
                continue;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (text_.empty()) return std::nullopt;
            const char escape = text_.front();
            text_.remove_prefix(1);
            switch (escape) {
                case '"': case '\\': case '/': out += escape; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    std::optional<unsigned> code = ReadHex4();
                    if (!code) return std::nullopt;
                    // A pair of surrogates is one character; a lone one is
                    // written as it stands (three bytes), as the page's
                    // texts always reached the core.
                    if (*code >= 0xD800 && *code < 0xDC00 && text_.substr(0, 2) == "\\u") {
                        const std::string_view before = text_;
                        text_.remove_prefix(2);
                        const std::optional<unsigned> low = ReadHex4();
                        if (low && *low >= 0xDC00 && *low < 0xE000) {
                            code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
                        } else {
                            text_ = before;
                        }
                    }
                    AppendUtf8(out, *code);
                    break;
                }
                default: return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<Value> ReadArray(int depth) {
        text_.remove_prefix(1);
        Value array = Value::array();
        if (Take(']')) return array;
        do {
            std::optional<Value> item = ReadValue(depth + 1);
            if (!item) return std::nullopt;
            array.push(std::move(*item));
        } while (Take(','));
        if (!Take(']')) return std::nullopt;
        return array;
    }

    std::optional<Value> ReadObject(int depth) {
        text_.remove_prefix(1);
        Value object = Value::object();
        if (Take('}')) return object;
        do {
            SkipSpace();
            if (text_.empty() || text_.front() != '"') return std::nullopt;
            std::optional<std::string> key = ReadString();
            if (!key || !Take(':')) return std::nullopt;
            std::optional<Value> value = ReadValue(depth + 1);
            if (!value) return std::nullopt;
            object.set(*key, std::move(*value));
        } while (Take(','));
        if (!Take('}')) return std::nullopt;
        return object;
    }

    std::string_view text_;
};

}  // namespace

Value Value::operator[](std::string_view key) const {
    if (kind_ != Kind::Object) return {};
    for (std::size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i] == key) return items_[i];
    return {};
}

void Value::set(std::string_view key, Value value) {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == key) {
            items_[i] = std::move(value);
            return;
        }
    }
    keys_.emplace_back(key);
    items_.push_back(std::move(value));
}

std::optional<std::vector<std::uint8_t>> Value::byteArray() const {
    if (kind_ != Kind::Array) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(items_.size());
    for (const Value& item : items_) {
        if (!item.isNumber() || item.number_ < 0 || item.number_ > 255 || item.number_ != std::floor(item.number_))
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(item.number_));
    }
    return bytes;
}

void Value::Write(std::string& out) const {
    switch (kind_) {
        case Kind::Undefined:
        case Kind::Null: out += "null"; break;
        case Kind::Bool: out += number_ != 0 ? "true" : "false"; break;
        case Kind::Number: {
            char digits[32];
            if (number_ == std::floor(number_) && std::fabs(number_) < 1e15)
                std::snprintf(digits, sizeof digits, "%.0f", number_);
            else
                std::snprintf(digits, sizeof digits, "%.17g", number_);
            out += digits;
            break;
        }
        case Kind::String: AppendJsonString(out, text_); break;
        case Kind::Bytes: {
            out += "{";
            AppendJsonString(out, kBytesKey);
            out += ":\"";
            out += items::ToHex({reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size()});
            out += "\"}";
            break;
        }
        case Kind::Array:
            out += '[';
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (i != 0) out += ',';
                items_[i].Write(out);
            }
            out += ']';
            break;
        case Kind::Object:
            out += '{';
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (i != 0) out += ',';
                AppendJsonString(out, keys_[i]);
                out += ':';
                items_[i].Write(out);
            }
            out += '}';
            break;
    }
}

std::string Value::Json() const {
    std::string out;
    Write(out);
    return out;
}

std::optional<Value> Value::Parse(std::string_view json) {
    Reader reader(json);
    std::optional<Value> value = reader.ReadValue(0);
    if (!value || !reader.AtEnd()) return std::nullopt;
    return value;
}

}  // namespace saberline::web
