#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "compaction/Compactor.h"

namespace barwright::test {

struct CompactionResult {
    Status status = status::kOk;
    CodewordStream codewords;
};

// Compacts the data as the encoding driver does for one symbol, without the
// length descriptor's place.
inline CompactionResult compactData(Compactor& compactor, std::string_view data,
                                    std::int32_t mode) {
    CompactionResult result;
    compactor.startSymbol();
    const UnitSequence units = Compactor::preprocessData(data, mode);
    result.status =
        mode == Compactor::kModeAutomatic  ? compactor.compactAutomatic(units, result.codewords)
        : mode == Compactor::kModeShortest ? compactor.compactShortest(units, result.codewords)
                                           : compactor.compactFixed(units, result.codewords);
    return result;
}

inline CompactionResult compactData(std::string_view data, std::int32_t mode) {
    Compactor compactor;
    return compactData(compactor, data, mode);
}

// Units written compactly for comparisons: "c921" for a control unit,
// "d65" for a data unit (its full value, sign included).
inline std::string describeUnits(const UnitSequence& units) {
    std::string text;
    for (const CompactionUnit& unit : units) {
        if (!text.empty()) text += ' ';
        text += unit.isControl ? 'c' : 'd';
        text += std::to_string(unit.value);
    }
    return text;
}

}  // namespace barwright::test

namespace barwright::test {

// A known-answer case: data compacted in a mode gives these codewords (the
// stream after the length descriptor's place) and this status.
struct CodewordCase {
    const char* name;
    std::string data;
    std::int32_t mode;
    CodewordStream codewords;
    Status status = status::kOk;
};

// Test names show the case name, not the bytes of the case.
inline std::ostream& operator<<(std::ostream& out, const CodewordCase& c) { return out << c.name; }

// Failures name the case instead of dumping its bytes.
inline void PrintTo(const CodewordCase& c, std::ostream* os) { *os << c.name; }

inline std::string caseName(const ::testing::TestParamInfo<CodewordCase>& info) {
    return info.param.name;
}

inline void expectCodewords(const CodewordCase& c) {
    const CompactionResult result = compactData(c.data, c.mode);
    EXPECT_EQ(result.status, c.status);
    if (c.status == status::kOk) {
        EXPECT_EQ(result.codewords, c.codewords);
    }
}

}  // namespace barwright::test
