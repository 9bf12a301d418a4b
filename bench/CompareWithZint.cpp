// Data codewords per payload kind: barwright's automatic compaction, its
// shortest compaction, and libzint (the peer; `zint -b 55 --binary`), all
// at 12 data columns and error correction level 2. libzint does not report
// its codewords, so they are read back from its module matrix with our own
// bar-space table: the length descriptor, less the 900s that pad the grid,
// gives its data codewords.
//
//     barwright_zint_comparison [payload folder]
//
// Prints a Markdown table; exits 1 when a payload cannot be encoded or a
// peer symbol cannot be read back.

#include <zint.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/Payloads.h"
#include "compaction/Compactor.h"
#include "compaction/ControlCodewords.h"
#include "encoder/BarSpacePatterns.h"

namespace barwright {
namespace bench {
namespace {

constexpr int kColumns = 12;
constexpr int kLevel = 2;
// Start pattern and left row indicator before the data columns.
constexpr int kModulesBeforeData = 2 * kModulesPerCodeword;
// Start, both row indicators and the stop pattern, one module wider.
constexpr int kModulesOutsideData = 4 * kModulesPerCodeword + 1;

// Element widths packed as octal digits, for the reverse lookup.
std::uint32_t packWidths(const std::uint8_t* widths) {
    std::uint32_t key = 0;
    for (int i = 0; i < kElementsPerCodeword; ++i) key = key * 8 + widths[i];
    return key;
}

class PatternReader {
public:
    PatternReader() {
        for (int slot = 0; slot < kClusterSlots; ++slot) {
            for (int codeword = 0; codeword < kCodewordValues; ++codeword) {
                codewords_[slot][packWidths(kBarSpacePatterns[slot][codeword])] = codeword;
            }
        }
    }

    // The codeword whose pattern starts at module x of the row; -1 if none.
    int read(const zint_symbol& symbol, int row, int x) const {
        std::uint8_t widths[kElementsPerCodeword] = {};
        int element = 0;
        bool dark = true;
        for (int m = 0; m < kModulesPerCodeword; ++m) {
            if (isDark(symbol, row, x + m) != dark) {
                if (++element == kElementsPerCodeword) return -1;
                dark = !dark;
            }
            ++widths[element];
        }
        if (element != kElementsPerCodeword - 1 || !isDark(symbol, row, x)) return -1;
        const auto& slot = codewords_[row % kClusterSlots];
        const auto found = slot.find(packWidths(widths));
        return found == slot.end() ? -1 : found->second;
    }

private:
    static bool isDark(const zint_symbol& symbol, int row, int x) {
        return ((symbol.encoded_data[row][x >> 3] >> (x & 7)) & 1) != 0;
    }

    std::map<std::uint32_t, int> codewords_[kClusterSlots];
};

// libzint's data codewords for the bytes (without the length descriptor and
// the padding), or -1.
int peerDataCodewords(const PatternReader& reader, const std::string& bytes) {
    zint_symbol* symbol = ZBarcode_Create();
    if (symbol == nullptr) return -1;
    symbol->symbology = BARCODE_PDF417;
    symbol->option_1 = kLevel;
    symbol->option_2 = kColumns;
    symbol->input_mode = DATA_MODE;
    int result = -1;
    if (ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<int>(bytes.size())) < ZINT_ERROR &&
        symbol->width == kModulesOutsideData + kColumns * kModulesPerCodeword) {
        std::vector<int> codewords;
        for (int row = 0; row < symbol->rows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                codewords.push_back(
                    reader.read(*symbol, row, kModulesBeforeData + column * kModulesPerCodeword));
            }
        }
        // The descriptor counts itself, the data and the padding; the error
        // correction fills the rest of the grid.
        const int descriptor = codewords.empty() ? -1 : codewords[0];
        const int errorCorrection = 2 << kLevel;
        if (descriptor > 0 && descriptor + errorCorrection == static_cast<int>(codewords.size())) {
            int end = descriptor;
            while (end > 1 && codewords[static_cast<std::size_t>(end - 1)] == kTextLatch) --end;
            result = end - 1;
            for (int i = 0; i < descriptor; ++i) {
                if (codewords[static_cast<std::size_t>(i)] < 0) result = -1;
            }
        }
    }
    ZBarcode_Delete(symbol);
    return result;
}

int compactedCodewords(Compactor& compactor, const std::string& bytes, std::int32_t mode) {
    compactor.startSymbol();
    const UnitSequence units = Compactor::preprocessData(escapeTildes(bytes), mode);
    CodewordStream codewords;
    const Status result = mode == Compactor::kModeShortest
                              ? compactor.compactShortest(units, codewords)
                              : compactor.compactAutomatic(units, codewords);
    return result == status::kOk ? static_cast<int>(codewords.size()) : -1;
}

struct Totals {
    std::size_t records = 0;
    std::size_t bytes = 0;
    long automatic = 0;
    long shortest = 0;
    long peer = 0;
};

void printRow(const char* name, const Totals& t) {
    std::printf("| %s | %zu | %zu | %ld | %ld | %ld | %.3f | %.3f |\n", name, t.records, t.bytes,
                t.automatic, t.shortest, t.peer, static_cast<double>(t.automatic) / t.peer,
                static_cast<double>(t.shortest) / t.peer);
}

int run(const std::string& folder) {
    const PatternReader reader;
    Compactor compactor;
    Totals all;
    std::printf("Data codewords at %d columns, level %d\n\n", kColumns, kLevel);
    std::printf(
        "| kind | records | bytes | automatic | shortest | zint | automatic/zint | "
        "shortest/zint |\n|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const PayloadKind& kind : kPayloadKinds) {
        std::vector<std::string> records;
        if (!readPayloads(folder + "/" + kind.file, records)) {
            std::fprintf(stderr, "cannot read %s/%s\n", folder.c_str(), kind.file);
            return 1;
        }
        Totals totals;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const int automatic =
                compactedCodewords(compactor, records[i], Compactor::kModeAutomatic);
            const int shortest =
                compactedCodewords(compactor, records[i], Compactor::kModeShortest);
            const int peer = peerDataCodewords(reader, records[i]);
            if (automatic < 0 || shortest < 0 || peer < 0) {
                std::fprintf(stderr, "%s record %zu: cannot encode or read back\n", kind.file,
                             i + 1);
                return 1;
            }
            if (shortest > peer) {
                std::fprintf(stderr, "%s record %zu: shortest %d, zint %d\n", kind.file, i + 1,
                             shortest, peer);
            }
            ++totals.records;
            totals.bytes += records[i].size();
            totals.automatic += automatic;
            totals.shortest += shortest;
            totals.peer += peer;
        }
        printRow(kind.name, totals);
        all.records += totals.records;
        all.bytes += totals.bytes;
        all.automatic += totals.automatic;
        all.shortest += totals.shortest;
        all.peer += totals.peer;
    }
    printRow("all", all);
    return 0;
}

}  // namespace
}  // namespace bench
}  // namespace barwright

int main(int argc, char** argv) {
    return barwright::bench::run(argc > 1 ? argv[1] : BARWRIGHT_BENCH_DATA_DIR "/payloads");
}
