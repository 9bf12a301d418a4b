#include "batch/CsvColumns.h"

#include <string_view>

#include "batch/PrintableText.h"

namespace barwright::batch {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The option's letter for a column name; 0 when no option has the name.
// -h is no setting, so "help" is no column.
std::int32_t letterOf(std::string_view name) {
    for (int i = 0; i < kLongOptionCount; ++i) {
        const LongOption& option = kLongOptions[i];
        if (option.val != 'h' && name == option.name) {
            return option.val;
        }
    }
    return 0;
}

// A cell may be a megabyte long; a message shows its beginning.
constexpr std::size_t kShownBytes = 64;

std::string printable(std::string_view text) { return printableText(text, true, kShownBytes); }

std::string knownColumns() {
    std::string list;
    for (int i = 0; i < kLongOptionCount; ++i) {
        if (kLongOptions[i].val != 'h') {
            list += kLongOptions[i].name;
            list += ", ";
        }
    }
    return list + CsvColumns::kOutputColumn;
}

}  // namespace

bool CsvColumns::setHeader(const std::vector<std::string>& names, std::string& message) {
    letters_.clear();
    names_.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string_view name = names[i];
        if (i == 0 && name.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            name.remove_prefix(kByteOrderMark.size());
        }
        const std::int32_t letter = name == kOutputColumn ? kOutputLetter : letterOf(name);
        if (letter == 0 && name != kOutputColumn) {
            message = "unknown CSV column \"" + printable(name) + "\" (known: " + knownColumns() +
                      ")";
            return false;
        }
        for (const std::string& earlier : names_) {
            if (earlier == name) {
                message = "CSV column \"" + printable(name) + "\" is named twice";
                return false;
            }
        }
        letters_.push_back(letter);
        names_.emplace_back(name);
    }
    return true;
}

bool CsvColumns::apply(const std::vector<std::string>& cells, SymbolOptions& options,
                       std::string& output, std::string& message) const {
    output.clear();
    // The output cell first, so that a message about another cell can name
    // the record's file.
    for (std::size_t i = 0; i < cells.size() && i < letters_.size(); ++i) {
        if (letters_[i] == kOutputLetter) {
            output = cells[i];
        }
    }
    for (std::size_t i = 0; i < cells.size() && i < letters_.size(); ++i) {
        const std::string& cell = cells[i];
        if (cell.empty() || letters_[i] == kOutputLetter) {
            continue;
        }
        if (!applyOption(letters_[i], cell, options, ValueCheck::kStrict)) {
            message = "column \"" + names_[i] + "\": \"" + printable(cell) +
                      "\" is not a value of this option";
            return false;
        }
    }
    return true;
}

}  // namespace barwright::batch
