// What crosses between the page's script and the core: JSON read as the
// browser's JSON.stringify writes it, and written so that JSON.parse reads
// the same values back.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "Value.h"

using saberline::web::Value;

namespace {

std::string RoundTrip(const std::string& json) {
    const std::optional<Value> value = Value::Parse(json);
    return value ? value->Json() : "<refused>";
}

}  // namespace

TEST(PageValue, ReadsWhatTheScriptSendsAndWritesItBack) {
    // [sent, written back]
    const std::pair<std::string, std::string> cases[] = {
        {R"([{"BP1":"30","TypeBattle":3},null,true,false])", R"([{"BP1":"30","TypeBattle":3},null,true,false])"},
        {R"( [ 1 , -2 , 0.5 , 1e3 , 255 ] )", R"([1,-2,0.5,1000,255])"},
        // Control characters go back as \u escapes, which JSON.parse reads.
        {R"(["a\"b\\c\/d\n\t\u0001"])", R"(["a\"b\\c/d\u000a\u0009\u0001"])"},
        // Cyrillic as the script sends it (raw) and escaped: the same bytes.
        {"[\"\xD0\x81\xD0\xB6\"]", "[\"\xD0\x81\xD0\xB6\"]"},
        {R"(["\u0401\u0436"])", "[\"\xD0\x81\xD0\xB6\"]"},
        // A pair of surrogates is one character of four bytes.
        {R"(["\ud83d\ude00"])", "[\"\xF0\x9F\x98\x80\"]"},
        // A lone surrogate keeps its three bytes, as texts always reached
        // the core from the page.
        {R"(["\ud800x"])", "[\"\xED\xA0\x80x\"]"},
        // The last of a repeated name counts, as in JSON.parse.
        {R"({"a":1,"a":2})", R"({"a":2})"},
        {R"([[[[]]],{}])", R"([[[[]]],{}])"},
    };
    for (const auto& [sent, written] : cases) EXPECT_EQ(RoundTrip(sent), written) << sent;
}

TEST(PageValue, RefusesWhatIsNotJson) {
    for (const std::string text : {"", "[", "[1,]", "{\"a\"}", "{a:1}", "[\"a]", "[\"\\x\"]", "[\"\\u12\"]",
                                   "[1] 2", "tru", "[-]", "[1.]", "[\"\n\"]", "nul",
                                   // Leading zeros, a sign alone, an exponent without digits.
                                   "01", "[-01]", "[00.5]", "- 1", "[1e]", "[1e+]", "[.5]", "[+1]",
                                   // A number no double holds.
                                   "1e400", "[-1E999]",
                                   // Bytes that are not UTF-8 in a string: a stray continuation,
                                   // a cut character, an overlong form, a surrogate's own bytes.
                                   "[\"\x80\"]", "[\"\xD0\"]", "[\"\xC0\xAF\"]", "[\"\xED\xA0\x80\"]"})
        EXPECT_FALSE(Value::Parse(text).has_value()) << text;
    // A zero byte ends nothing: after the value it is not a blank.
    EXPECT_FALSE(Value::Parse(std::string("{}\0", 3)).has_value());
    EXPECT_FALSE(Value::Parse(std::string("[1]\0]", 4)).has_value());
    // Nesting too deep for any call the page makes.
    EXPECT_FALSE(Value::Parse(std::string(100, '[') + std::string(100, ']')).has_value());
}

// Numbers as strtod reads them, to within a few units in the last place.
TEST(PageValue, NumbersReadAsTheirDecimalsSay) {
    const std::pair<const char*, double> cases[] = {
        {"0", 0.0},          {"-0", -0.0},        {"0.1", 0.1},         {"1e3", 1000.0},
        {"2.5E-3", 0.0025},  {"255", 255.0},      {"1e-400", 0.0},      {"0.000001e6", 1.0},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"0.12345678901234567890123", 0.12345678901234568},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"4.9406564584124654e-324", 4.9406564584124654e-324},
        {"18446744073709551615", 18446744073709551615.0},
    };
    for (const auto& [text, expected] : cases) {
        const std::optional<Value> value = Value::Parse(text);
        ASSERT_TRUE(value) << text;
        EXPECT_NEAR(value->number(), expected, std::abs(expected) * 1e-15) << text;
    }
}

TEST(PageValue, BytesCrossAsHexAndComeBackAsBytes) {
    Value result = Value::object();
    result.set("secret", Value::bytes(std::string("\x00\x7f\x80\xff", 4)));
    EXPECT_EQ(result.Json(), R"({"secret":{"$bytes":"007f80ff"}})");

    const std::optional<Value> sent = Value::Parse("[[0,127,128,255],[1,256],[1.5],\"ab\"]");
    ASSERT_TRUE(sent);
    EXPECT_EQ((*sent)[0].byteArray(), (std::vector<std::uint8_t>{0, 127, 128, 255}));
    for (std::size_t k = 1; k < 4; ++k) EXPECT_FALSE((*sent)[k].byteArray().has_value()) << k;
}

TEST(PageValue, MembersAndItemsAsTheBindingsReadThem) {
    const std::optional<Value> fields = Value::Parse(R"({"BP1":"30","TypeBattle":2,"ChM11":true,"list":["1"]})");
    ASSERT_TRUE(fields);
    EXPECT_EQ((*fields)["BP1"].text(), "30");
    EXPECT_EQ((*fields)["TypeBattle"].integer(), 2);
    EXPECT_TRUE((*fields)["ChM11"].isTrue());
    EXPECT_TRUE((*fields)["missing"].isUndefined());
    EXPECT_EQ((*fields)["list"].size(), 1u);
    EXPECT_TRUE((*fields)["list"][1].isUndefined());
    EXPECT_FALSE((*fields)["BP1"].isTrue());

    Value written = Value::object();
    written.set("x", 1);
    written.set("y", "two");
    written.set("x", Value::null());
    EXPECT_EQ(written.Json(), R"({"x":null,"y":"two"})");
}
