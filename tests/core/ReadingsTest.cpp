// The readings' text form (--clock, ?clock=, the duel link) and the length
// of a field text counted in characters.
#include "Readings.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace saberline {
namespace {

TEST(ClockList, ParsesUnsignedReadings) {
    EXPECT_EQ(ParseClockList("0"), (std::vector<std::uint64_t>{0}));
    EXPECT_EQ(ParseClockList("007,1,2"), (std::vector<std::uint64_t>{7, 1, 2}));
    EXPECT_EQ(ParseClockList("18446744073709551615"), (std::vector<std::uint64_t>{UINT64_MAX}));
    EXPECT_FALSE(ParseClockList("18446744073709551616"));
    EXPECT_FALSE(ParseClockList("184467440737095516150"));
}

TEST(ClockList, WritesWhatItReads) {
    const std::vector<std::uint64_t> readings{0, 7, UINT64_MAX, 1234567890123ull};
    EXPECT_EQ(WriteClockList(readings), "0,7,18446744073709551615,1234567890123");
    EXPECT_EQ(ParseClockList(WriteClockList(readings)), readings);
    for (const char* bad : {"", ",", "1,", ",1", "1,,2", " 1", "1 ", "+1", "-1", "1.5", "0x10", "18446744073709551616"})
        EXPECT_FALSE(ParseClockList(bad)) << bad;
}

TEST(Utf8, CountsCharactersAndRefusesMalformedText) {
    struct Case {
        const char* text;
        std::optional<std::size_t> characters;
    };
    const Case cases[] = {
        {"", 0},
        {"30", 2},
        {"ёж", 2},
        {"\xE2\x82\xAC", 1},           // euro sign, three bytes
        {"\xF0\x9F\x97\xA1", 1},       // four bytes
        {"\xF4\x8F\xBF\xBF", 1},       // U+10FFFF
        {"\xC3", std::nullopt},        // cut short
        {"\xC3\x28", std::nullopt},    // bad continuation
        {"\x80", std::nullopt},        // stray continuation
        {"\xC0\xAF", std::nullopt},    // overlong '/'
        {"\xE0\x80\xAF", std::nullopt},
        {"\xED\xA0\x80", std::nullopt},  // surrogate
        {"\xF4\x90\x80\x80", std::nullopt},  // above U+10FFFF
        {"\xFF", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
        EXPECT_EQ(CountUtf8Characters(c.text), c.characters);
    }
}

}  // namespace
}  // namespace saberline
