#pragma once

#include <cstdint>

namespace barwright {

// One entry of a long-option table. A table ends with an entry whose name is
// null (all fields zero).
struct LongOption {
    const char* name;      // without the leading dashes
    std::int32_t has_arg;  // 0: no argument; otherwise an argument is required
    std::int32_t* flag;    // when set, val is stored here and 0 returned instead
    std::int32_t val;      // returned for this option: the matching short letter
};

constexpr std::int32_t kNoArgument = 0;
constexpr std::int32_t kRequiredArgument = 1;

// What parseNextOption returns once the options are over.
constexpr std::int32_t kEndOfOptions = -1;
// What parseNextOption returns after it has reported a bad option.
constexpr std::int32_t kBadOption = '?';

// The parser's state, kept between calls like getopt's. They live in this
// namespace so that they never mix with the C library's variables.
extern std::int32_t optind;          // next argument to examine; 0 on entry is taken as 1
extern const char* optarg;           // argument of the option just returned; points into argv
extern std::int32_t optopt;          // the last character examined in a group of short options
extern std::int32_t optGroupIndex;   // argument in which short options were last read
extern std::int32_t optGroupOffset;  // letters of that argument used, counted after the dash
// Whether a bad option is reported on stderr (1, the default) or left to the
// caller (0), which finds the offending word at argv[optind - 1] and, for a
// short option, its letter in optopt. Like getopt's opterr, resetOptionParser
// leaves it alone.
extern std::int32_t opterr;

// Restores the state a fresh process starts with, so that a command line can
// be walked again from index 1 (the parser itself never resets).
void resetOptionParser();

// Reads the next option of argv[1..argc-1] (argv[argc] is null). Short
// options are letters of optionString, a letter followed by ':' requiring an
// argument; several may share one dash. Long options ("--name", "--name=arg")
// match any entry of longOptions whose name begins with the typed name, the
// earliest entry winning. An argument may come from the same word or from
// the next one, whatever that begins with. The walk stops at the first
// argument that is not an option (or after "--") and never reorders argv.
//
// Returns the option letter (optarg set when it takes an argument), 0 when
// the matching long option has a flag, kBadOption after writing a message on
// stderr, or kEndOfOptions with optind at the first non-option argument (argc
// when none is left). longIndex, when not null, receives the table index of a
// long option found.
[[nodiscard]] std::int32_t parseNextOption(std::int32_t argc, char* const argv[],
                                           const char* optionString, const LongOption* longOptions,
                                           std::int32_t* longIndex);

}  // namespace barwright
