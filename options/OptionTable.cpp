#include "options/OptionTable.h"

#include <array>
#include <string>

namespace barwright {

// The order is barwright's (its abbreviations depend on it), then the
// shared options.
const OptionEntry kOptionEntries[kOptionCount] = {
    {OptionId::kHelp, "help", 'h', ValueKind::kNone, "no value"},
    {OptionId::kXsize, "xsize", 'x', ValueKind::kInteger, "a width in pixels above 0"},
    {OptionId::kYsize, "ysize", 'y', ValueKind::kInteger, "a height in pixels above 0"},
    {OptionId::kXdim, "xdim", 'n', ValueKind::kReal, "a module width in pixels above 0"},
    {OptionId::kData, "data", 'd', ValueKind::kText, "any text"},
    {OptionId::kMode, "mode", 'm', ValueKind::kInteger,
     "0 (automatic), 1 (text), 2 (numeric) or 3 (byte)"},
    {OptionId::kEcl, "ecl", 'e', ValueKind::kInteger, "0..8, or 9 for automatic"},
    {OptionId::kCol, "col", 'c', ValueKind::kInteger, "1..30 data columns, or 0 for automatic"},
    {OptionId::kRow, "row", 'r', ValueKind::kInteger, "3..90 rows, or 0 for automatic"},
    {OptionId::kCpdf, "cpdf", 't', ValueKind::kInteger, "1 (Compact PDF417) or 0"},
    {OptionId::kOrient, "orient", 'o', ValueKind::kInteger, "0, 90, 180 or 270 degrees"},
    {OptionId::kBcolor, "bcolor", 'b', ValueKind::kColour, "a colour as rrggbb"},
    {OptionId::kFcolor, "fcolor", 'f', ValueKind::kColour, "a colour as rrggbb"},
    {OptionId::kQzone, "qzone", 'q', ValueKind::kInteger, "1 (a quiet zone) or 0"},
    {OptionId::kAlignh, "alignh", 'z', ValueKind::kInteger, "0 (left), 1 (centre) or 2 (right)"},
    {OptionId::kAlignv, "alignv", 'v', ValueKind::kInteger, "0 (top), 1 (centre) or 2 (bottom)"},
    {OptionId::kY2x, "y2x", 'a', ValueKind::kReal, "a row height in module widths above 0"},
    {OptionId::kShortest, "shortest", 0, ValueKind::kSwitch, "1 or 0"},
    {OptionId::kEscapes, "escapes", 0, ValueKind::kSwitch, "1 or 0"},
    {OptionId::kDpi, "dpi", 0, ValueKind::kCount, "a whole number from 1 to 1000000"},
    {OptionId::kMacro, "macro", 0, ValueKind::kCount, "a number of symbols from 1 to 99999"},
    {OptionId::kFileId, "file-id", 0, ValueKind::kText,
     "digits, or '#' and groups of three digits of 000 to 899"},
    {OptionId::kTime, "time", 0, ValueKind::kSeconds,
     "seconds since 1970, of the years 0 to 65535"},
    {OptionId::kEci, "eci", 0, ValueKind::kCount, "an ECI number from 0 to 811799"},
};

const char* programOptionString() {
    static const std::string letters = [] {
        std::string text;
        for (int i = 0; i < kProgramOptionCount; ++i) {
            text += kOptionEntries[i].letter;
            if (kOptionEntries[i].kind != ValueKind::kNone) {
                text += ':';
            }
        }
        return text;
    }();
    return letters.c_str();
}

const LongOption* programLongOptions() {
    static const std::array<LongOption, kProgramOptionCount + 1> table = [] {
        std::array<LongOption, kProgramOptionCount + 1> options{};
        for (int i = 0; i < kProgramOptionCount; ++i) {
            const OptionEntry& entry = kOptionEntries[i];
            options[static_cast<std::size_t>(i)] = {entry.name, entry.kind != ValueKind::kNone,
                                                    entry.letter};
        }
        options.back() = {nullptr, false, 0};
        return options;
    }();
    return table.data();
}

const OptionEntry* findOption(std::string_view name) noexcept {
    for (const OptionEntry& entry : kOptionEntries) {
        if (name == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

const OptionEntry* findOptionByLetter(std::int32_t letter) noexcept {
    for (const OptionEntry& entry : kOptionEntries) {
        if (entry.letter != 0 && letter == entry.letter) {
            return &entry;
        }
    }
    return nullptr;
}

const OptionEntry& optionEntry(OptionId id) noexcept { return kOptionEntries[static_cast<int>(id)]; }

}  // namespace barwright
