#pragma once

#include <cstdio>
#include <string>

#include "barwright/Status.h"
#include "options/SymbolOptions.h"

namespace barwright {

// Everything one command line asks for: the program's defaults, set in the
// hallway, with the options applied, and the output file.
struct RunSettings : SymbolOptions {
    RunSettings() : SymbolOptions(programDefaults()) {}

    // Points into argv; null when the options used up the command line.
    const char* outputFileName = nullptr;
};

enum class OptionsResult {
    kComplete,   // go on with the run
    kHelp,       // -h was met: print the usage on stdout, status 0
    kBadOption,  // a bad option: its message, then the usage on stderr, status 1
};

// Reads the options into settings, dropping silently every value out of its
// range, and stops at -h or at a bad option as soon as it meets one (the
// parser's message about it in message). The first argument that is not an
// option is the output file name; anything after it is ignored.
[[nodiscard]] OptionsResult readOptions(int argc, char* const argv[], RunSettings& settings,
                                        std::string& message);

// Encodes, draws and writes one symbol; prints nothing. The file is opened
// only once its bytes are made, so that a run that failed earlier neither
// creates nor truncates it: kCantOpenOutput when it cannot be opened,
// kCantCloseOutput when writing or closing fails. The picture takes the
// file's name only once it is complete (see OutputFile), so no failure
// leaves a file cut short.
[[nodiscard]] Status makeBarcode(const RunSettings& settings);

// One whole run of the program; returns the exit status. Prints nothing on
// success, the banner and the status's message on stderr on failure, the
// usage text on stdout after -h (status 0) and on stderr after a bad
// option (status 1).
[[nodiscard]] int runBarwright(int argc, char* argv[]);

// Writes the usage text on the stream.
void printUsage(std::FILE* stream);

}  // namespace barwright
