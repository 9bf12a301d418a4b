// The readers of option values: for the lenient ones what prefix counts as a
// number, saturation instead of overflow, and the colour conversion; for the
// strict ones which texts are wholly a value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "options/Conversions.h"

namespace barwright {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(DecimalInteger, ReadsTheLeadingNumber) {
    const struct {
        std::string_view text;
        std::int32_t value;
    } cases[] = {
        {"300", 300},
        {"", 0},
        {"abc", 0},
        {"  42", 42},
        {"\t\n\v\f\r+7x", 7},
        {"-13", -13},
        {"007", 7},
        {"3.9", 3},
        {"1e3", 1},
        {"0x10", 0},
        {"+-5", 0},
        {"- 5", 0},
        {"on", 0},
        {"5 6", 5},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        // Beyond the int32 range: saturated, never wrapped.
        {"2147483648", kMax},
        {"-2147483649", kMin},
        {"99999999999", kMax},
        {"4294967296", kMax},
        {"-99999999999999999999999999999999", kMin},
        {"000000000000000000000000000000012", 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readDecimalInteger(c.text), c.value) << "text \"" << c.text << "\"";
    }
}

TEST(DecimalReal, ReadsOnlyPlainDecimalNumbers) {
    const struct {
        std::string_view text;
        double value;
    } cases[] = {
        {"2.5", 2.5},
        {" -1.5e2", -150.0},
        {"+3", 3.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"1E-2", 0.01},
        {"1e+2", 100.0},
        {"0.4", 0.4},
        {"12abc", 12.0},
        {"1.5.2", 1.5},
        {"1e2.5", 100.0},
        {"1,5", 1.0},
        // An 'e' without digits is not part of the number.
        {"1e", 1.0},
        {"1e+", 1.0},
        {"2E-x", 2.0},
        // No digits at all: no number.
        {"", 0.0},
        {".", 0.0},
        {"-.", 0.0},
        {"e5", 0.0},
        {"-", 0.0},
        // Forms strtod would take but that are no decimal numbers.
        {"inf", 0.0},
        {"-infinity", 0.0},
        {"nan", 0.0},
        {"NAN(123)", 0.0},
        {"0x10", 0.0},
        {"0x1p3", 0.0},
        {"1e999", kInfinity},
        {"-1e999", -kInfinity},
        {"1e-999", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readDecimalReal(c.text), c.value) << "text \"" << c.text << "\"";
    }
}

TEST(DecimalReal, NegativeZeroKeepsItsSign) {
    const double value = readDecimalReal("-0");
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(std::signbit(value));
    EXPECT_FALSE(value > 0.0);
}

TEST(DecimalReal, ReadsOnlyTheViewNotBeyondIt) {
    // The reader is handed views of longer strings; digits after the view's
    // end must not join the number.
    const std::string_view text = std::string_view("12345").substr(0, 2);
    EXPECT_EQ(readDecimalReal(text), 12.0);
    EXPECT_EQ(readDecimalInteger(text), 12);
}

TEST(Colour, HexTextBecomesRedGreenBlue) {
    const struct {
        std::string_view text;
        std::uint32_t hex;  // parseHex
        Color colour;       // readColor
    } cases[] = {
        {"ffff00", 0xFFFF00, 0xFFFF00},  // yellow
        {"FFff00", 0xFFFF00, 0xFFFF00},
        {"0xffff00", 0x0, 0x000000},  // stops at the x
        {"ff", 0xFF, 0x0000FF},       // blue
        {"123456", 0x123456, 0x123456},
        {"1ffff00", 0x1FFFF00, 0xFFFF00},  // the seventh digit is dropped
        {"123456789", 0x23456789, 0x456789},
        {"12g4", 0x12, 0x000012},
        {"zz", 0x0, 0x000000},
        {" ff", 0x0, 0x000000},
        {"", 0x0, 0x000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseHex(c.text), c.hex) << "text \"" << c.text << "\"";
        EXPECT_EQ(readColor(c.text), c.colour) << "text \"" << c.text << "\"";
    }
}

// The strict readers take a text only when all of it is a value, and a
// count or whole number only within its range.
TEST(StrictValues, WholeTextsOnly) {
    const struct {
        std::string_view text;
        bool integer;  // isWholeInteger
        bool real;     // isWholeReal
        bool count;    // readCount within 1..1000
        bool whole;    // readWholeNumber within -50..50
    } cases[] = {
        {"7", true, true, true, true},
        {"+7", true, true, false, false},
        {"-7", true, true, false, true},
        {"-0", true, true, false, true},
        {"007", true, true, true, true},
        {"1000", true, true, true, false},
        {"1001", true, true, false, false},
        {"0", true, true, false, true},
        {"99999999999999999999999", true, true, false, false},
        {"1.5", false, true, false, false},
        {".5e-3", false, true, false, false},
        {"5.", false, true, false, false},
        {"1e", false, false, false, false},
        {"e1", false, false, false, false},
        {"", false, false, false, false},
        {"-", false, false, false, false},
        {" 7", false, false, false, false},
        {"7 ", false, false, false, false},
        {"0x10", false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text \"" + std::string(c.text) + "\"");
        EXPECT_EQ(isWholeInteger(c.text), c.integer);
        EXPECT_EQ(isWholeReal(c.text), c.real);
        std::int64_t value = -1;
        EXPECT_EQ(readCount(c.text, 1, 1000, value), c.count);
        EXPECT_EQ(readWholeNumber(c.text, -50, 50, value), c.whole);
    }
}

}  // namespace
}  // namespace barwright
