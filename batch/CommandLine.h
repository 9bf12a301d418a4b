#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "batch/BatchSettings.h"

namespace barwright::batch {

// Exit statuses of the program's own, beside the records' statuses (1..28),
// from BSD's sysexits so that they meet none of those.
constexpr int kUsageStatus = 64;  // a bad command line, CSV header or SOURCE_DATE_EPOCH
constexpr int kInputStatus = 66;  // the input cannot be opened or read

enum class CommandLineResult {
    kRun,         // settings are complete: go on with the run
    kHelp,        // -h: the usage text on stdout, status 0
    kVersion,     // --version: the version on stdout, status 0
    kUsageError,  // refused: message says why, before anything is read or written
};

// Reads the command line into settings. The symbol options take their values
// as barwright takes them (out-of-range values dropped silently); the batch's
// own options and TEMPLATE are checked strictly, and the first fault is
// refused with a message (without the program's name). cpuCount is --jobs'
// default. Reports nothing itself.
[[nodiscard]] CommandLineResult readCommandLine(int argc, char* argv[], std::int32_t cpuCount,
                                                BatchSettings& settings, std::string& message);

// The usage text of -h; cpuCount is shown as --jobs' default.
void printBatchUsage(std::FILE* stream, std::int32_t cpuCount);

// "barwright-batch 1.2"
const char* batchVersionText();

}  // namespace barwright::batch
