// The option parser alone, walking a command line made of the fuzz input with
// the program's option string and long names. It must end, keep optind
// within the vector, and hand out arguments that point into it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cli/FrontEnd.h"
#include "cli/OptionParser.h"
#include "fuzz/FuzzInput.h"

namespace {

using namespace barwright;

// The program's own table, with a flag entry added (the program has none) so
// that the store-and-return-0 path is walked too.
std::int32_t flagTarget = 0;
constexpr std::int32_t kFuzzedOptionCount = kLongOptionCount + 1;
const std::array<LongOption, kFuzzedOptionCount + 1> kFuzzedOptions = [] {
    std::array<LongOption, kFuzzedOptionCount + 1> options{};
    std::copy(kLongOptions, kLongOptions + kLongOptionCount, options.begin());
    options[kLongOptionCount] = {"zflag", kNoArgument, &flagTarget, 'Z'};
    return options;  // the last entry stays all zero
}();

// True when the pointer lies inside one of the words (its NUL included).
bool insideArguments(const char* pointer, const fuzz::ArgumentVector& arguments) {
    for (const std::string& word : arguments.words()) {
        if (pointer >= word.data() && pointer <= word.data() + word.size()) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ArgumentVector arguments(data, size);
    resetOptionParser();

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
        optarg = nullptr;
        std::int32_t longIndex = -1;
        const std::int32_t option = parseNextOption(
            arguments.argc(), arguments.argv(), kOptionString, kFuzzedOptions.data(), &longIndex);
        if (optind < 1 || optind > arguments.argc()) {
            abort();
        }
        if (option == kEndOfOptions) {
            break;
        }
        if (option == kBadOption) {
            continue;
        }
        const bool isFlag = option == 0;
        if (isFlag && flagTarget != 'Z') {
            abort();
        }
        if (!isFlag && (option > 0x7F || std::strchr(kOptionString, option) == nullptr)) {
            abort();  // only letters of the option string come back
        }
        if (longIndex >= kFuzzedOptionCount) {
            abort();
        }
        const bool takesArgument = !isFlag && option != 'h';
        if (takesArgument && (optarg == nullptr || !insideArguments(optarg, arguments))) {
            abort();
        }
        flagTarget = 0;
    }
    return 0;
}
