#include "cli/OptionParser.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace barwright {

std::int32_t optind = 1;
const char* optarg = nullptr;
std::int32_t optopt = 0;
std::int32_t optGroupIndex = 0;
std::int32_t optGroupOffset = 0;
std::int32_t opterr = 1;

void resetOptionParser() {
    optind = 1;
    optarg = nullptr;
    optopt = 0;
    optGroupIndex = 0;
    optGroupOffset = 0;
}

namespace {

// The four messages are written as one block each, exactly these bytes.
void writeMessage(std::string_view before, std::string_view subject, std::string_view after) {
    if (opterr == 0) {
        return;
    }
    std::string message;
    message.reserve(before.size() + subject.size() + after.size() + 1);
    message.append(before).append(subject).append(after).push_back('\n');
    std::fwrite(message.data(), 1, message.size(), stderr);
}

// ':' only marks an argument in the option string; it is never a letter.
const char* findShortOption(const char* optionString, char letter) {
    if (letter == ':') {
        return nullptr;
    }
    return std::strchr(optionString, letter);
}

std::int32_t readLongOption(std::int32_t argc, char* const argv[], const LongOption* longOptions,
                            std::int32_t* longIndex) {
    const char* text = argv[optind] + 2;
    const char* equals = std::strchr(text, '=');
    const std::string_view typedName(
        text, equals != nullptr ? static_cast<std::size_t>(equals - text) : std::strlen(text));

    // Any beginning of a name selects it; the table's order settles
    // abbreviations that fit several names, without complaint.
    const LongOption* found = nullptr;
    std::int32_t foundIndex = 0;
    for (std::int32_t i = 0; longOptions != nullptr && longOptions[i].name != nullptr; ++i) {
        const std::string_view name(longOptions[i].name);
        if (name.substr(0, typedName.size()) == typedName && name.size() >= typedName.size()) {
            found = &longOptions[i];
            foundIndex = i;
            break;
        }
    }
    if (found == nullptr) {
        writeMessage("invalid option `", typedName, "'.");
        ++optind;
        return kBadOption;
    }
    if (longIndex != nullptr) {
        *longIndex = foundIndex;
    }
    if (found->has_arg != kNoArgument) {
        if (equals != nullptr) {
            optarg = equals + 1;
        } else if (optind + 1 < argc && argv[optind + 1] != nullptr) {
            optarg = argv[optind + 1];
            ++optind;
        } else {
            writeMessage("argument required: `", typedName, "'.");
            ++optind;
            return kBadOption;
        }
    }
    ++optind;
    if (found->flag != nullptr) {
        *found->flag = found->val;
        return 0;
    }
    return found->val;
}

}  // namespace

std::int32_t parseNextOption(std::int32_t argc, char* const argv[], const char* optionString,
                             const LongOption* longOptions, std::int32_t* longIndex) {
    // Nothing but the caller sets optind below 1; a negative value would
    // index before argv, so it is taken as 1 like 0.
    if (optind <= 0) {
        optind = 1;
    }
    for (;;) {
        if (optind > argc) {
            return kEndOfOptions;
        }
        const char* arg = optind < argc ? argv[optind] : nullptr;
        if (arg == nullptr || arg[0] != '-' || arg[1] == '\0') {
            return kEndOfOptions;
        }
        if (arg[1] == '-') {
            if (arg[2] == '\0') {
                ++optind;
                return kEndOfOptions;
            }
            return readLongOption(argc, argv, longOptions, longIndex);
        }

        if (optind != optGroupIndex) {
            optGroupIndex = optind;
            optGroupOffset = 0;
        }
        const char* letterPosition = arg + 1 + optGroupOffset;
        const char letter = *letterPosition;
        optopt = static_cast<unsigned char>(letter);
        if (letter == '\0') {
            // The group is used up: go on with the next argument.
            ++optind;
            continue;
        }
        const char* declared = findShortOption(optionString, letter);
        if (declared == nullptr) {
            writeMessage("Unknown option `-", std::string_view(&letter, 1), "'.");
            ++optind;  // the letters after it in this group are skipped
            return kBadOption;
        }
        const std::int32_t result = static_cast<unsigned char>(letter);
        if (declared[1] != ':') {
            ++optGroupOffset;
            return result;
        }
        if (letterPosition[1] != '\0') {
            optarg = letterPosition + 1;
            ++optind;
            return result;
        }
        if (optind + 1 < argc && argv[optind + 1] != nullptr) {
            optarg = argv[optind + 1];
            optind += 2;
            return result;
        }
        ++optind;
        writeMessage("Missing argument for `-", std::string_view(&letter, 1), "'.");
        return kBadOption;
    }
}

}  // namespace barwright
