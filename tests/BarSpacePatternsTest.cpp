#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "encoder/BarSpacePatterns.h"

namespace barwright {
namespace {

using Pattern = std::array<int, kElementsPerCodeword>;

Pattern tablePattern(int slot, int value) {
    Pattern p{};
    for (int i = 0; i < kElementsPerCodeword; ++i) {
        p[i] = kBarSpacePatterns[slot][value][i];
    }
    return p;
}

// The committed table must be exactly the data file it was generated from:
// every line of the file is compared, and every entry must be covered.
TEST(BarSpacePatterns, MatchTheDataFile) {
    std::ifstream file(BARWRIGHT_BAR_SPACE_DATA);
    ASSERT_TRUE(file) << "cannot read " << BARWRIGHT_BAR_SPACE_DATA;
    bool seen[kClusterSlots][kCodewordValues] = {};
    int entries = 0;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        int cluster = -1;
        int value = -1;
        Pattern widths{};
        fields >> cluster >> value;
        for (int& w : widths) {
            fields >> w;
        }
        ASSERT_FALSE(fields.fail()) << line;
        ASSERT_TRUE(cluster == 0 || cluster == 3 || cluster == 6) << line;
        ASSERT_TRUE(value >= 0 && value < kCodewordValues) << line;
        const int slot = cluster / 3;
        EXPECT_FALSE(seen[slot][value]) << "repeated: " << line;
        seen[slot][value] = true;
        EXPECT_EQ(tablePattern(slot, value), widths) << line;
        ++entries;
    }
    EXPECT_EQ(entries, kClusterSlots * kCodewordValues);
}

TEST(BarSpacePatterns, CheckValues) {
    struct Case {
        int slot;
        int value;
        Pattern widths;
    };
    const Case cases[] = {
        {0, 0, {3, 1, 1, 1, 1, 1, 3, 6}},
        {1, 0, {5, 1, 1, 1, 1, 1, 2, 5}},
        {2, 0, {2, 1, 1, 1, 1, 1, 5, 5}},
        {0, 1, {4, 1, 1, 1, 1, 1, 4, 4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tablePattern(c.slot, c.value), c.widths)
            << "slot " << c.slot << " value " << c.value;
    }
}

// A reader tells codewords apart by their pattern and the row's cluster by
// (w1 - w3 + w5 - w7) mod 9; each entry must span 17 modules, lie in its
// slot's cluster and be unique among the three clusters.
TEST(BarSpacePatterns, EveryEntryIsAValidCodewordOfItsCluster) {
    std::set<Pattern> distinct;
    for (int slot = 0; slot < kClusterSlots; ++slot) {
        for (int value = 0; value < kCodewordValues; ++value) {
            const Pattern p = tablePattern(slot, value);
            int modules = 0;
            for (int w : p) {
                EXPECT_TRUE(w >= 1 && w <= 6) << slot << "/" << value;
                modules += w;
            }
            EXPECT_EQ(modules, kModulesPerCodeword) << slot << "/" << value;
            EXPECT_EQ((p[0] - p[2] + p[4] - p[6] + 9) % 9, 3 * slot) << slot << "/" << value;
            distinct.insert(p);
        }
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kClusterSlots * kCodewordValues));
}

}  // namespace
}  // namespace barwright
