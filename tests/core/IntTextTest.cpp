#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "Boxes.h"
#include "IntText.h"

namespace saberline {
namespace {

struct IntCase {
    const char* text;
    std::optional<std::int32_t> value;  // nullopt: refused
};

const IntCase kIntegerRule[] = {
    {"", std::nullopt},
    {" ", std::nullopt},
    {"   ", std::nullopt},
    {"  42", 42},
    {"42 ", std::nullopt},
    {"\t42", std::nullopt},
    {"\xC2\xA0" "42", std::nullopt},  // non-breaking space
    {"+7", 7},
    {"-0", 0},
    {"0", 0},
    {"00", 0},
    {"007", 7},
    {"-", std::nullopt},
    {"+", std::nullopt},
    {"  -", std::nullopt},
    {"--1", std::nullopt},
    {"+-1", std::nullopt},
    {"- 1", std::nullopt},
    {"2147483647", 2147483647},
    {"2147483648", std::nullopt},
    {"-2147483648", INT32_MIN},
    {"-2147483649", std::nullopt},
    {"10000000000", std::nullopt},
    {"99999999999", std::nullopt},
    {"00000000000000000042", 42},
    {"1.5", std::nullopt},
    {"1,5", std::nullopt},
    {"1e3", std::nullopt},
    {"$1E", 30},
    {"x1e", 30},
    {"X1E", 30},
    {"0x1E", 30},
    {"0X1e", 30},
    {"-$10", -16},
    {"+$10", 16},
    {"$", std::nullopt},
    {"x", std::nullopt},
    {"0x", std::nullopt},
    {"-0x", std::nullopt},
    {"$FFFFFFFF", -1},
    {"$80000000", INT32_MIN},
    {"-$FFFFFFFF", 1},
    {"-$80000000", INT32_MIN},
    {"$000000001", 1},
    {"$100000000", std::nullopt},
    {"$1G", std::nullopt},
    {"0$1", std::nullopt},
    {"0x$1", std::nullopt},
    {"$FFF", 4095},
    {"12\xD0\x90", std::nullopt},  // Cyrillic А at the end
    {"\xD0\x90" "12", std::nullopt},
    {"9", 9},
    {"-5", -5},
};

TEST(IntegerTextRule, TryTextToIntAndTextToIntAgree) {
    for (const IntCase& c : kIntegerRule) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        std::int32_t value = 12345;
        const bool accepted = TryTextToInt(c.text, value);
        ASSERT_EQ(accepted, c.value.has_value());
        if (c.value) {
            EXPECT_EQ(value, *c.value);
            EXPECT_EQ(TextToInt(c.text), *c.value);
        } else {
            EXPECT_THROW(TextToInt(c.text), EConvertError);
        }
    }
}

TEST(IntegerTextRule, OneCharacterFieldsHoldOnlyDecimalDigits) {
    for (int c = 1; c < 256; ++c) {
        const std::string text(1, static_cast<char>(c));
        std::int32_t value = 0;
        EXPECT_EQ(TryTextToInt(text, value), c >= '0' && c <= '9') << "character " << c;
    }
}

TEST(IntegerTextRule, ConversionErrorQuotesTheWholeText) {
    try {
        TextToInt(" 7 ");
        FAIL() << "' 7 ' must be refused";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "' 7 ' is not a valid integer value");
        EXPECT_EQ(ErrorBoxText(error.what()), "' 7 ' is not a valid integer value.");
    }
    try {
        TextToInt("%s");
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'%s' is not a valid integer value");
    }
}

TEST(IntToText, WritesPlainDecimal) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"}, {-5, "-5"}, {100, "100"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (auto [value, text] : cases) EXPECT_EQ(IntToText(value), text);
}

TEST(IntToText, RoundTripsThroughTheRule) {
    for (std::int64_t v = INT32_MIN; v <= INT32_MAX; v += 65537 * 3) {
        const auto value = static_cast<std::int32_t>(v);
        EXPECT_EQ(TextToInt(IntToText(value)), value);
    }
}

}  // namespace
}  // namespace saberline
