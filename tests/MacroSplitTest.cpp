// Splitting data over Macro PDF417 segments: never inside an escape, about
// equal shares, reader initialisation and ECI designators where a reader
// needs them, and the parts together resolving to exactly the units of the
// whole.
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "barwright/MacroSegments.h"
#include "compaction/Compactor.h"

namespace barwright {
namespace {

struct SplitCase {
    const char* name;
    std::string data;
    std::int32_t count;
    std::vector<std::string> parts;
    bool escapes = true;
    bool wholeUtf8 = false;
};

const SplitCase kSplits[] = {
    {"EvenShares", "abcdef", 3, {"ab", "cd", "ef"}},
    {"RemainderGoesEarly", "abcdefg", 3, {"abc", "de", "fg"}},
    {"OnePart", "abc", 1, {"abc"}},
    {"EmptyDataOnePart", "", 1, {""}},
    {"OneBytePerPart", "abc", 3, {"a", "b", "c"}},
    {"HexEscapeIsOneByte", "a~X41b~x7fc", 3, {"a~X41", "b~x7f", "c"}},
    {"ControlEscapes", "~N~R~T~~", 2, {"~N~R", "~T~~"}},
    {"PlainTildeIsDoubled", "a~b~", 2, {"a~~", "b~~"}},
    {"PlainTildeBeforeThree", "ab~3cd", 2, {"ab~~", "3cd"}},
    {"ReaderInitialisationStaysFirst", "~3abcd", 2, {"~3ab", "cd"}},
    {"EciOpensTheNextPart", "ab~7000026cd", 2, {"ab", "~7000026cd"}},
    {"EciAtTheStart", "~7000003abcd", 2, {"~7000003ab", "cd"}},
    {"CutShortEscapesArePlain", "ab~X4", 2, {"ab~~", "X4"}},
    {"BadHexIsPlain", "~XG1ab", 3, {"~~X", "G1", "ab"}},
    {"ShortEciIsPlain", "~712345", 2, {"~~712", "345"}},
    // Without escapes every byte is data and stays as it is.
    {"RawBytesSplitAnywhere", "a~X41~", 2, {"a~X", "41~"}, false},
    {"RawReaderInitialisationIsData", "~3ab", 4, {"~", "3", "a", "b"}, false},
    // UTF-8 text: a character's bytes stay together and count as one.
    {"Utf8CharactersStayWhole",
     "a\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80",
     2,
     {"a\xc3\xa9", "\xe6\x97\xa5\xf0\x9f\x98\x80"},
     false,
     true},
    {"Utf8BesideEscapes", "~~\xc3\xa9~X41", 3, {"~~", "\xc3\xa9", "~X41"}, true, true},
    {"BytesThatAreNotUtf8StayBytes",
     "\xc3\xc3\xa9\x80\xe6\x97",
     5,
     {"\xc3", "\xc3\xa9", "\x80", "\xe6", "\x97"},
     false,
     true},
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

class MacroSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(MacroSplit, PartsAreAsExpected) {
    const SplitCase& c = GetParam();
    std::vector<std::string> parts;
    ASSERT_EQ(splitMacroData(c.data, c.escapes, c.count, parts, c.wholeUtf8), status::kOk);
    EXPECT_EQ(parts, c.parts);
}

INSTANTIATE_TEST_SUITE_P(Cases, MacroSplit, testing::ValuesIn(kSplits),
                         [](const testing::TestParamInfo<SplitCase>& info) {
                             return std::string(info.param.name);
                         });

struct RefusedCase {
    const char* data;
    std::int32_t count;
    Status expected;
};

TEST(MacroSplitRefused, CountsOutOfRangeAndTooFewBytes) {
    const RefusedCase cases[] = {
        {"abc", 0, status::kMacroSegmentCount},
        {"abc", -1, status::kMacroSegmentCount},
        {"abc", 100000, status::kMacroSegmentCount},
        {"abc", 4, status::kInvalidArgument},
        {"", 2, status::kInvalidArgument},
        // Designators and reader initialisation carry no bytes of their own.
        {"~3~7000026a", 2, status::kInvalidArgument},
    };
    for (const RefusedCase& c : cases) {
        std::vector<std::string> parts{"left over"};
        EXPECT_EQ(splitMacroData(c.data, true, c.count, parts), c.expected)
            << c.data << " over " << c.count;
        EXPECT_TRUE(parts.empty());
    }
}

// The pieces of the data alphabet most likely to break a split: every
// escape, cut-short escapes, and tildes before letters that form escapes.
std::string randomData(std::mt19937& random, int length) {
    static const char* const kPieces[] = {"a",  "~",    "~~", "~N",       "~R",  "~T", "~X4",
                                          "1",  "~x7f", "3",  "~7000026", "~7",  "X",  "N",
                                          "~X", "0",    "F",  "~3",       "~XG", "7"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::string data;
    for (int i = 0; i < length; ++i) data += kPieces[pick(random)];
    return data;
}

// Compaction of the parts, one after the other, must see exactly the units
// it sees in the whole: no escape cut, made or lost, reader initialisation
// only at the start of the first part.
TEST(MacroSplitProperty, PartsResolveToTheUnitsOfTheWhole) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 400; ++round) {
        const std::string data = randomData(random, 1 + round % 40);
        const std::int32_t count = 1 + static_cast<std::int32_t>(random() % 6);
        std::vector<std::string> parts;
        const Status result = splitMacroData(data, true, count, parts);
        if (result == status::kInvalidArgument) continue;  // fewer bytes than parts
        ASSERT_EQ(result, status::kOk) << data;

        const UnitSequence whole = Compactor::preprocessData(data, Compactor::kModeAutomatic);
        UnitSequence joined;
        for (const std::string& part : parts) {
            ASSERT_FALSE(part.empty()) << data << " over " << count;
            const UnitSequence units = Compactor::preprocessData(part, Compactor::kModeAutomatic);
            joined.insert(joined.end(), units.begin(), units.end());
        }
        ASSERT_EQ(joined.size(), whole.size()) << data << " over " << count;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(joined[i].isControl, whole[i].isControl) << data << " unit " << i;
            EXPECT_EQ(joined[i].isControl ? joined[i].value : dataByte(joined[i]),
                      whole[i].isControl ? whole[i].value : dataByte(whole[i]))
                << data << " unit " << i;
        }
    }
}

// Shares differ by at most one byte, so no segment is needlessly large.
TEST(MacroSplitProperty, SharesAreEven) {
    const std::string data(1000, 'x');
    for (std::int32_t count = 1; count <= 64; ++count) {
        std::vector<std::string> parts;
        ASSERT_EQ(splitMacroData(data, true, count, parts), status::kOk);
        std::size_t smallest = data.size();
        std::size_t largest = 0;
        for (const std::string& part : parts) {
            smallest = std::min(smallest, part.size());
            largest = std::max(largest, part.size());
        }
        EXPECT_LE(largest - smallest, 1u) << count;
    }
}

// encodeMacroSegments: the control block of each symbol, right before its
// error correction, says which segment it is; only the last carries the
// terminator, and a segment that cannot be encoded empties the result.
TEST(MacroSegments, EachSymbolCarriesItsOwnIndexAndTheLastTheTerminator) {
    SymbolSettings settings;
    settings.data = "The quick brown fox jumps over the lazy dog";
    settings.macro.fileId = "#017";
    std::vector<EncodedSymbol> symbols;
    ASSERT_EQ(encodeMacroSegments(settings, 4, symbols), status::kOk);
    ASSERT_EQ(symbols.size(), 4u);
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        // 928, index i (the group 100000 + i), file ID 17, count 4.
        std::vector<std::uint16_t> block{928, 111, static_cast<std::uint16_t>(100 + i), 17, 923, 1,
                                         111, 104};
        if (i == 3) block.push_back(922);
        const std::vector<std::uint16_t>& codewords = symbols[i].codewords;
        const std::size_t correction = std::size_t{2} << symbols[i].errorCorrectionLevel;
        ASSERT_GT(codewords.size(), correction + block.size());
        const auto blockEnd = codewords.end() - static_cast<std::ptrdiff_t>(correction);
        EXPECT_EQ(std::vector<std::uint16_t>(blockEnd - static_cast<std::ptrdiff_t>(block.size()),
                                             blockEnd),
                  block)
            << "segment " << i + 1;
    }
}

TEST(MacroSegments, FailuresEmptyTheResult) {
    SymbolSettings tooLarge;
    tooLarge.data = std::string(3000, 'A');
    tooLarge.columns = 30;
    SymbolSettings badFileId;
    badFileId.data = "abcdef";
    badFileId.macro.fileId = "#12";
    const struct {
        const char* name;
        const SymbolSettings& settings;
        std::int32_t count;
        Status expected;
    } cases[] = {
        {"one segment too large", tooLarge, 1, status::kDataCountAbove928},
        {"bad file ID", badFileId, 2, status::kMacroFileId},
        {"count zero", badFileId, 0, status::kMacroSegmentCount},
    };
    for (const auto& c : cases) {
        std::vector<EncodedSymbol> symbols(2);
        EXPECT_EQ(encodeMacroSegments(c.settings, c.count, symbols), c.expected) << c.name;
        EXPECT_TRUE(symbols.empty()) << c.name;
    }
    std::vector<EncodedSymbol> symbols;
    EXPECT_EQ(encodeMacroSegments(tooLarge, 4, symbols), status::kOk)
        << "split four ways, the same data fits";

    // Behind ECI 26 the data is split into whole characters: six bytes of
    // two characters make at most two symbols.
    SymbolSettings utf8;
    utf8.data = "\xe6\x97\xa5\xe6\x9c\xac";
    utf8.eci = kUtf8Eci;
    EXPECT_EQ(encodeMacroSegments(utf8, 2, symbols), status::kOk);
    EXPECT_EQ(encodeMacroSegments(utf8, 3, symbols), status::kInvalidArgument);
}

}  // namespace
}  // namespace barwright
