#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "serve/ServeSettings.h"

namespace barwright::serve {

// Exit statuses beside 0, from BSD's sysexits like barwright-batch's.
constexpr int kUsageStatus = 64;        // a bad command line or SOURCE_DATE_EPOCH
constexpr int kUnavailableStatus = 69;  // the address cannot be bound, the page not read

enum class CommandLineResult { kRun, kHelp, kVersion, kUsageError };

// Reads the command line into settings (whose defaults the caller set);
// the first fault is refused with a message.
[[nodiscard]] CommandLineResult readCommandLine(int argc, char* argv[], ServeSettings& settings,
                                                std::string& message);

void printUsage(std::FILE* stream, const ServeSettings& defaults);

// "barwright-serve 1.2"
const char* versionText();

}  // namespace barwright::serve
