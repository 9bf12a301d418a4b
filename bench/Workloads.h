#pragma once

// The three symbols every benchmark measures, the same ones that
// bench/time-whole-runs times as whole processes: module width 2 px, row
// height 4 modules, quiet zone on.
//   small   "1234567", 3 data columns, automatic level
//   medium  300 characters of invoice text, 10 columns, level 4
//   large   2400 digits, 30 columns, level 5
// The medium and large data live in bench/data, shared with the script.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/FrontEnd.h"

namespace barwright {
namespace bench {

struct Workload {
    const char* name;
    const char* dataFile;  // in bench/data, or null for the data below
    const char* data;
    std::int32_t columns;
    std::int32_t errorCorrectionLevel;
};

constexpr Workload kWorkloads[] = {
    {"small", nullptr, "1234567", 3, 9},
    {"medium", "medium.txt", nullptr, 10, 4},
    {"large", "large.txt", nullptr, 30, 5},
};
constexpr int kSmall = 0;
constexpr int kMedium = 1;
constexpr int kLarge = 2;

inline std::string workloadData(const Workload& workload) {
    if (workload.dataFile == nullptr) {
        return workload.data;
    }
    const std::string path = std::string(BARWRIGHT_BENCH_DATA_DIR) + "/" + workload.dataFile;
    std::string data;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            data.append(buffer, got);
        }
        std::fclose(file);
    }
    if (data.empty()) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::abort();
    }
    return data;
}

// The settings a command line of the workload gives.
inline RunSettings workloadSettings(const Workload& workload) {
    RunSettings settings;
    settings.symbol.data = workloadData(workload);
    settings.symbol.columns = workload.columns;
    settings.symbol.errorCorrectionLevel = workload.errorCorrectionLevel;
    settings.picture.moduleWidth = 2.0;
    settings.picture.yToXRatio = 4.0;
    settings.picture.quietZone = true;
    return settings;
}

}  // namespace bench
}  // namespace barwright
