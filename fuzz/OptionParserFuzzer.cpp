// The option parser alone, walking a command line made of the fuzz input with
// the program's option string and long names and two codes of the batch's
// kind. It must end, keep its index within the vector, and hand out values
// that point into it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "options/OptionParser.h"
#include "options/OptionTable.h"

namespace {

using namespace barwright;

// barwright-batch's kind of table: barwright's options, then codes above
// every byte, with and without a value.
constexpr std::int32_t kFlagCode = 300;
constexpr std::int32_t kValueCode = 301;
const std::vector<LongOption>& fuzzedOptions() {
    static const std::vector<LongOption> table = [] {
        std::vector<LongOption> options;
        for (const LongOption* option = programLongOptions(); option->name != nullptr; ++option) {
            options.push_back(*option);
        }
        options.push_back({"zflag", false, kFlagCode});
        options.push_back({"zvalue", true, kValueCode});
        options.push_back({nullptr, false, 0});
        return options;
    }();
    return table;
}

// True when the pointer lies inside one of the words (its NUL included).
bool insideArguments(const char* pointer, const fuzz::ArgumentVector& arguments) {
    for (const std::string& word : arguments.words()) {
        if (pointer >= word.data() && pointer <= word.data() + word.size()) {
            return true;
        }
    }
    return false;
}

// Whether a code the parser returned is one of the table's or a letter of
// the option string, and whether it takes a value.
bool knownCode(std::int32_t code, bool& takesValue) {
    if (code == kFlagCode || code == kValueCode) {
        takesValue = code == kValueCode;
        return true;
    }
    takesValue = code != 'h';
    return code > 0 && code <= 0x7F && std::strchr(programOptionString(), code) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ArgumentVector arguments(data, size);
    OptionParser parser(arguments.argc(), arguments.argv(), programOptionString(),
                        fuzzedOptions().data());

    // Each call uses up at least one letter or one argument, so the walk ends
    // within this many calls.
    std::size_t callLimit = 2;
    for (const std::string& word : arguments.words()) {
        callLimit += word.size() + 1;
    }
    for (std::size_t call = 0;; ++call) {
        if (call > callLimit) {
            abort();
        }
        const std::int32_t option = parser.next();
        if (parser.index() < 1 || parser.index() > arguments.argc()) {
            abort();
        }
        if (option == OptionParser::kEnd) {
            break;
        }
        if (option == OptionParser::kBad) {
            if (parser.message().empty()) {
                abort();
            }
            continue;
        }
        bool takesValue = false;
        if (!knownCode(option, takesValue)) {
            abort();  // only letters of the option string and the table's codes come back
        }
        const char* value = parser.value();
        if (takesValue ? value == nullptr || !insideArguments(value, arguments)
                       : value != nullptr) {
            abort();
        }
    }
    return 0;
}
