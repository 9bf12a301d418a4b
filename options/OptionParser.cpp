#include "options/OptionParser.h"

#include <cstring>
#include <string_view>

namespace barwright {

const char* OptionParser::word() const noexcept {
    const std::int32_t at = index_ - 1;
    return at > 0 && at < argc_ && argv_[at] != nullptr ? argv_[at] : "";
}

std::string OptionParser::refusal() const {
    const std::string_view typedWord = word();
    if (typedWord.size() > 2 && typedWord.substr(0, 2) == "--") {
        const std::string_view typed = typedWord.substr(2, typedWord.find('=') - 2);
        // A refused long option that matches an entry lacks its value.
        for (const LongOption* option = longOptions_; option->name != nullptr; ++option) {
            if (std::string_view(option->name).substr(0, typed.size()) == typed) {
                return "option '--" + std::string(option->name) + "' needs a value";
            }
        }
        return "unknown option '--" + std::string(typed) + "'";
    }
    const char* declared =
        letter_ != ':' && letter_ != '\0' ? std::strchr(optionString_, letter_) : nullptr;
    if (declared != nullptr) {
        return "option '-" + std::string(1, letter_) + "' needs a value";
    }
    return "unknown option '-" + std::string(1, letter_) + "'";
}

std::int32_t OptionParser::refuse(const char* before, const std::string& subject,
                                  const char* after) {
    message_ = before;
    message_ += subject;
    message_ += after;
    return kBad;
}

std::int32_t OptionParser::readLong() {
    const char* text = argv_[index_] + 2;
    const char* equals = std::strchr(text, '=');
    const std::string typedName(
        text, equals != nullptr ? static_cast<std::size_t>(equals - text) : std::strlen(text));

    // Any beginning of a name selects it; the table's order settles
    // abbreviations that fit several names, without complaint.
    const LongOption* found = nullptr;
    for (const LongOption* option = longOptions_; option != nullptr && option->name != nullptr;
         ++option) {
        if (std::string_view(option->name).substr(0, typedName.size()) == typedName) {
            found = option;
            break;
        }
    }
    if (found == nullptr) {
        ++index_;
        return refuse("invalid option `", typedName, "'.");
    }
    if (found->takesValue) {
        if (equals != nullptr) {
            value_ = equals + 1;
        } else if (index_ + 1 < argc_ && argv_[index_ + 1] != nullptr) {
            value_ = argv_[index_ + 1];
            ++index_;
        } else {
            ++index_;
            return refuse("argument required: `", typedName, "'.");
        }
    }
    ++index_;
    return found->code;
}

std::int32_t OptionParser::next() {
    value_ = nullptr;
    for (;;) {
        const char* arg = index_ < argc_ ? argv_[index_] : nullptr;
        if (arg == nullptr || arg[0] != '-' || arg[1] == '\0') {
            return kEnd;
        }
        if (arg[1] == '-') {
            if (arg[2] == '\0') {
                ++index_;
                return kEnd;
            }
            return readLong();
        }
        if (index_ != groupIndex_) {
            groupIndex_ = index_;
            groupOffset_ = 0;
        }
        const char* letterPosition = arg + 1 + groupOffset_;
        letter_ = *letterPosition;
        if (letter_ == '\0') {
            // The group is used up: go on with the next argument.
            ++index_;
            continue;
        }
        // ':' only marks a value in the option string; it is never a letter.
        const char* declared = letter_ != ':' ? std::strchr(optionString_, letter_) : nullptr;
        const std::string letterText(1, letter_);
        if (declared == nullptr) {
            ++index_;  // the letters after it in this group are skipped
            return refuse("Unknown option `-", letterText, "'.");
        }
        const std::int32_t code = static_cast<unsigned char>(letter_);
        if (declared[1] != ':') {
            ++groupOffset_;
            return code;
        }
        if (letterPosition[1] != '\0') {
            value_ = letterPosition + 1;
            ++index_;
            return code;
        }
        if (index_ + 1 < argc_ && argv_[index_ + 1] != nullptr) {
            value_ = argv_[index_ + 1];
            index_ += 2;
            return code;
        }
        ++index_;
        return refuse("Missing argument for `-", letterText, "'.");
    }
}

}  // namespace barwright
