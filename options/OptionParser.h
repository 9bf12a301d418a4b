#pragma once

#include <cstdint>
#include <string>

namespace barwright {

// One entry of a long-option table. A table ends with an entry whose name is
// null.
struct LongOption {
    const char* name;   // without the leading dashes
    bool takesValue;    // a value is then required
    std::int32_t code;  // what next() returns for it: a short letter, or a code above 255
};

// Walks a command line one option at a time, as POSIX getopt does with a
// table of long options added, but holding its whole state in the object:
// several walks may run at once, and a walk starts wherever a parser is
// made. It reports a bad option by message() rather than on a stream, so
// that the caller decides what is printed.
//
// Short options are letters of the option string, a letter followed by ':'
// requiring a value; several may share one dash. Long options ("--name",
// "--name=value") match any entry whose name begins with the typed name,
// the earliest entry winning. A value may come from the same word or from
// the next one, whatever that begins with. The walk stops at the first
// argument that is not an option (or after "--") and never reorders argv.
class OptionParser {
public:
    // What next() returns once the options are over.
    static constexpr std::int32_t kEnd = -1;
    // What next() returns for a bad option (message() says which).
    static constexpr std::int32_t kBad = '?';

    // argv[1..argc-1] are walked (argv[argc] is null); the option string
    // and the table must outlive the parser.
    OptionParser(std::int32_t argc, char* const argv[], const char* optionString,
                 const LongOption* longOptions) noexcept
        : argc_(argc), argv_(argv), optionString_(optionString), longOptions_(longOptions) {}

    // The next option's code (value() set when it takes one), kBad, or kEnd
    // with index() at the first argument that is not an option (argc when
    // none is left). A value "=x" after a long option without one is
    // ignored, as getopt ignores it (word() still shows it).
    [[nodiscard]] std::int32_t next();

    // The value of the option just returned; points into argv. Null for an
    // option without one.
    const char* value() const noexcept { return value_; }
    // The argument to examine next.
    std::int32_t index() const noexcept { return index_; }
    // The last letter examined in a group of short options: for a bad short
    // option, the offending letter.
    char letter() const noexcept { return letter_; }
    // The word of the option just returned or refused (argv[index() - 1]).
    const char* word() const noexcept;
    // The one-line message about the last bad option, in barwright's words
    // ("Unknown option `-k'."), without a line end.
    const std::string& message() const noexcept { return message_; }
    // The same in the words of the programs whose messages are their own:
    // "option '--input' needs a value" (the whole name, however shortly it
    // was typed), "unknown option '--inptu'", "option '-i' needs a value",
    // "unknown option '-k'".
    std::string refusal() const;

private:
    std::int32_t readLong();
    std::int32_t refuse(const char* before, const std::string& subject, const char* after);

    std::int32_t argc_;
    char* const* argv_;
    const char* optionString_;
    const LongOption* longOptions_;

    std::int32_t index_ = 1;
    const char* value_ = nullptr;
    char letter_ = 0;
    std::int32_t groupIndex_ = 0;   // argument in which short options were last read
    std::int32_t groupOffset_ = 0;  // letters of that argument used, counted after the dash
    std::string message_;
};

}  // namespace barwright
