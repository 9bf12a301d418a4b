#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "compaction/Compactor.h"
#include "compaction/TextCompaction.h"
#include "support/CompactionDecoder.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::CompactionDecoder;
using test::DecodedItem;
using test::describeItems;

// Data written with escapes, and what a reader should get back from it.
struct Sample {
    std::string data;
    std::vector<DecodedItem> expected;
    bool readerInit = false;
};

enum class Alphabet { kAny, kText, kDigits };

// Builds random data from pieces that resolve to known content. A raw tilde
// is never emitted alone, so pieces cannot run into an unintended escape.
class SampleGenerator {
public:
    explicit SampleGenerator(std::uint32_t seed) : random_(seed) {}

    Sample make(Alphabet alphabet, std::size_t pieces) {
        Sample sample;
        sample.readerInit = below(10) == 0;
        if (sample.readerInit) sample.data = "~3";
        for (std::size_t i = 0; i < pieces; ++i) addPiece(alphabet, sample);
        if (alphabet != Alphabet::kDigits && below(20) == 0) add(sample, "~", "~");
        return sample;
    }

    void addPiece(Alphabet alphabet, Sample& sample) {
        static const std::size_t kDigitRuns[] = {1,  2,  5,  11, 12, 13, 14,
                                                 20, 43, 44, 45, 46, 88, 89};
        // Literal data and escapes with what each resolves to.
        static const char* const kFixed[][2] = {
            {"~N", "\n"}, {"~R", "\r"},         {"~T", "\t"},
            {"~~", "~"},  {"  ", "  "},         {"\t\r\n", "\t\r\n"},
            {"~Q", "~Q"}, {"~7123Z", "~7123Z"}, {"~X4g", "~X4g"},
        };
        static const std::string kPunctuation = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}";
        const int kind =
            alphabet == Alphabet::kDigits ? (below(4) == 0 ? 4 : 2) : static_cast<int>(below(9));
        switch (kind) {
            case 0:
                return addRun(sample, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1 + below(6));
            case 1:
                return addRun(sample, "abcdefghijklmnopqrstuvwxyz", 1 + below(6));
            case 2:
                return addRun(sample, "0123456789", kDigitRuns[below(std::size(kDigitRuns))]);
            case 3:
                return addRun(sample, kPunctuation, 1 + below(3));
            case 4:
                return addEci(sample);
            case 5: {
                const auto& piece = kFixed[below(std::size(kFixed))];
                return add(sample, piece[0], piece[1]);
            }
            case 6:
                return addByte(sample, alphabet, true);
            case 7:
                if (alphabet == Alphabet::kText) return addRun(sample, kPunctuation, 1);
                for (std::size_t n = 1 + below(3); n > 0; --n) addByte(sample, alphabet, false);
                return;
            default:
                // "~3" is reader initialisation only at the very start.
                return sample.data.empty() ? add(sample, "A", "A") : add(sample, "~3", "~3");
        }
    }

private:
    std::size_t below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }

    void add(Sample& sample, const std::string& data, const std::string& content) {
        sample.data += data;
        for (char ch : content) sample.expected.push_back({false, static_cast<std::uint8_t>(ch)});
    }
    void addRun(Sample& sample, const std::string& from, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            const std::string ch(1, from[below(from.size())]);
            add(sample, ch, ch);
        }
    }
    // A byte written raw (never a lone tilde) or as "~X"/"~x" with hex
    // digits in either case.
    void addByte(Sample& sample, Alphabet alphabet, bool escaped) {
        auto byte = static_cast<std::uint8_t>(below(256));
        if (alphabet == Alphabet::kText && !TextCompaction::isTextChar(byte)) byte = '%';
        const std::string content(1, static_cast<char>(byte));
        if (!escaped && byte != '~') return add(sample, content, content);
        static const char kHexUpper[] = "0123456789ABCDEF";
        static const char kHexLower[] = "0123456789abcdef";
        const char* hex = below(2) == 0 ? kHexUpper : kHexLower;
        add(sample, std::string(below(2) == 0 ? "~X" : "~x") + hex[byte >> 4] + hex[byte & 15],
            content);
    }
    void addEci(Sample& sample) {
        static const std::uint32_t kRanges[][2] = {
            {0, 899}, {900, 810899}, {810900, 811799}, {811800, 999999}};
        const auto& range = kRanges[below(4)];
        const auto number = static_cast<std::uint32_t>(range[0] + below(range[1] - range[0] + 1));
        const std::string digits = std::to_string(number);
        sample.data += "~7" + std::string(6 - digits.size(), '0') + digits;
        if (number <= 811799) sample.expected.push_back({true, number});
    }

    std::mt19937 random_;
};

Status expectedStatus(const Sample& sample, std::int32_t mode) {
    for (const DecodedItem& item : sample.expected) {
        if (item.isEci) continue;
        const auto byte = static_cast<std::uint8_t>(item.value);
        if (mode == Compactor::kModeText && !TextCompaction::isTextChar(byte)) {
            return status::kTextModeCharacters;
        }
        if (mode == Compactor::kModeNumeric && (byte < '0' || byte > '9')) {
            return status::kNumericModeCharacters;
        }
    }
    return status::kOk;
}

void expectRoundTrip(Compactor& compactor, const Sample& sample, std::int32_t mode) {
    const test::CompactionResult result = test::compactData(compactor, sample.data, mode);
    ASSERT_EQ(result.status, expectedStatus(sample, mode));
    if (result.status != status::kOk) return;
    const test::DecodeResult decoded = CompactionDecoder::decode(result.codewords);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.readerInit, sample.readerInit);
    // Compared as items first: describing 2 MB of them on every pass is slow.
    if (decoded.items != sample.expected) {
        ASSERT_EQ(describeItems(decoded.items), describeItems(sample.expected));
    }
}

TEST(CompactionRoundTrip, RandomDataInEveryMode) {
    SampleGenerator generator(20240917);
    Compactor compactor;  // reused, as the encoder reuses its own
    const Alphabet kAlphabets[] = {Alphabet::kAny, Alphabet::kText, Alphabet::kDigits};
    for (int round = 0; round < 1000; ++round) {
        for (Alphabet alphabet : kAlphabets) {
            const Sample sample = generator.make(alphabet, 1 + round % 24);
            for (std::int32_t mode = Compactor::kModeAutomatic; mode <= Compactor::kModeShortest;
                 ++mode) {
                SCOPED_TRACE(testing::Message()
                             << "round " << round << ", mode " << mode << ", data "
                             << testing::PrintToString(sample.data));
                expectRoundTrip(compactor, sample, mode);
                if (HasFatalFailure()) return;
            }
        }
    }
}

// The decoder must see the faults the compaction avoids, or the round trip
// proves nothing: each of these sequences is what a tempting shortcut gives.
TEST(CompactionRoundTrip, DecoderCatchesMisencodings) {
    struct Case {
        const char* name;
        CodewordStream codewords;
        std::string content;  // "" when the decoder must refuse
    };
    const Case cases[] = {
        {"Capitals", {1}, "AB"},
        {"PunctuationLatch", {28, 760, 329}, "A!!"},
        {"LowerAcrossShift", {810, 32, 913, 128, 94, 179}, "abc\\128;def"},
        {"TextRestartedAfterEciWithoutLatch", {810, 59, 927, 3, 812, 119}, ""},
        {"PaddingBeforeByteShift", {810, 59, 913, 128, 63}, "ab\\128;cd"},
        {"AlphaShiftCarriedAcrossByteShift", {810, 57, 913, 128, 63}, ""},
        {"PendingShiftCarriedAcrossDesignator", {810, 59, 927, 3, 63}, ""},
        {"ReaderInitAfterLatch", {902, 921, 902, 1, 223}, ""},
        {"SubModeLostAcrossShift", {810, 32, 913, 128, 3 * 30 + 4}, "abc\\128;de"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::DecodeResult decoded = CompactionDecoder::decode(c.codewords);
        EXPECT_EQ(decoded.ok, !c.content.empty()) << decoded.error;
        if (decoded.ok) {
            EXPECT_EQ(describeItems(decoded.items), c.content);
        }
    }
}

// Far beyond what a symbol holds (the driver rejects it afterwards), but it
// must stay linear: counters never rewalk long stretches of control units.
TEST(CompactionRoundTrip, TwoMegabytesStayLinear) {
    constexpr std::size_t kSize = 2 * 1024 * 1024;
    // A few kilobytes of mixed pieces, repeated; pieces never end in a lone
    // tilde, so the copies cannot run into an escape.
    SampleGenerator generator(7);
    Sample block;
    while (block.data.size() < 4096) generator.addPiece(Alphabet::kAny, block);
    // Thousands of designators between each pair of bytes.
    Sample dense;
    for (int i = 0; i < 2000; ++i) dense.data += "~7000026";
    dense.expected.assign(2000, DecodedItem{true, 26});
    dense.data += "\x80";
    dense.expected.push_back({false, 0x80});

    struct Case {
        const char* name;
        const Sample& block;
        std::int32_t mode;
    };
    const Case cases[] = {{"Mixed", block, Compactor::kModeAutomatic},
                          {"DenseDesignators", dense, Compactor::kModeAutomatic}};
    Compactor compactor;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sample sample;
        sample.data.reserve(kSize + c.block.data.size());
        while (sample.data.size() < kSize) {
            sample.data += c.block.data;
            sample.expected.insert(sample.expected.end(), c.block.expected.begin(),
                                   c.block.expected.end());
        }
        expectRoundTrip(compactor, sample, c.mode);
    }
}

}  // namespace
}  // namespace barwright
