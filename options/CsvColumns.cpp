#include "options/CsvColumns.h"

#include <string_view>

#include "options/Conversions.h"
#include "options/PrintableText.h"

namespace barwright {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The option a column name names: barwright's options but help, which is
// no setting.
const OptionEntry* columnOption(std::string_view name) {
    for (int i = 0; i < kProgramOptionCount; ++i) {
        const OptionEntry& entry = kOptionEntries[i];
        if (entry.kind != ValueKind::kNone && name == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

// A cell may be a megabyte long; a message shows its beginning.
constexpr std::size_t kShownBytes = 64;

std::string printable(std::string_view text) { return printableText(text, true, kShownBytes); }

std::string knownColumns() {
    std::string list;
    for (int i = 0; i < kProgramOptionCount; ++i) {
        if (kOptionEntries[i].kind != ValueKind::kNone) {
            list += kOptionEntries[i].name;
            list += ", ";
        }
    }
    return list + CsvColumns::kOutputColumn + ", " + CsvColumns::kShortestColumn + ", " +
           CsvColumns::kHexColumn + ", " + CsvColumns::kCaptionColumn;
}

}  // namespace

bool CsvColumns::setHeader(const std::vector<std::string>& names, std::string& message) {
    columns_.clear();
    options_.clear();
    names_.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string_view name = names[i];
        if (i == 0 && name.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            name.remove_prefix(kByteOrderMark.size());
        }
        const OptionEntry* option = columnOption(name);
        const Column column = name == kOutputColumn     ? Column::kOutput
                              : name == kShortestColumn ? Column::kShortest
                              : name == kHexColumn      ? Column::kHex
                              : name == kCaptionColumn  ? Column::kCaption
                                                        : Column::kOption;
        if (column == Column::kOption && option == nullptr) {
            message =
                "unknown CSV column \"" + printable(name) + "\" (known: " + knownColumns() + ")";
            return false;
        }
        for (const std::string& earlier : names_) {
            if (earlier == name) {
                message = "CSV column \"" + printable(name) + "\" is named twice";
                return false;
            }
        }
        columns_.push_back(column);
        options_.push_back(option != nullptr ? option->id : OptionId::kHelp);
        names_.emplace_back(name);
    }
    return true;
}

bool CsvColumns::has(Column column) const {
    for (const Column c : columns_) {
        if (c == column) {
            return true;
        }
    }
    return false;
}

bool CsvColumns::apply(const std::vector<std::string>& cells, SymbolOptions& options,
                       std::string& output, std::string& caption, std::string& message) const {
    output.clear();
    caption.clear();
    // The output cell first, so that a message about another cell can name
    // the record's file.
    for (std::size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
        if (columns_[i] == Column::kOutput) {
            output = cells[i];
        } else if (columns_[i] == Column::kCaption) {
            caption = cells[i];
        }
    }
    if (givesBothData(cells)) {
        message = std::string("a row gives its data in one of the columns \"data\" and \"") +
                  kHexColumn + "\", not in both";
        return false;
    }
    for (std::size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
        const std::string& cell = cells[i];
        if (cell.empty() || columns_[i] == Column::kOutput || columns_[i] == Column::kCaption) {
            continue;
        }
        if (columns_[i] == Column::kShortest) {
            if (cell != "0" && cell != "1") {
                message =
                    "column \"" + names_[i] + "\": \"" + printable(cell) + "\" is neither 1 nor 0";
                return false;
            }
            options.shortest = cell == "1";
            continue;
        }
        if (columns_[i] == Column::kHex) {
            if (!applyHex(i, cell, options, message)) {
                return false;
            }
            continue;
        }
        if (!applyOption(options_[i], cell, options, ValueCheck::kStrict)) {
            message = "column \"" + names_[i] + "\": \"" + printable(cell) +
                      "\" is not a value of this option";
            return false;
        }
    }
    return true;
}

bool CsvColumns::givesBothData(const std::vector<std::string>& cells) const {
    bool data = false;
    bool hex = false;
    for (std::size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
        data = data || (options_[i] == OptionId::kData && !cells[i].empty());
        hex = hex || (columns_[i] == Column::kHex && !cells[i].empty());
    }
    return data && hex;
}

bool CsvColumns::applyHex(std::size_t column, const std::string& cell, SymbolOptions& options,
                          std::string& message) const {
    std::string bytes;
    bool digitsOnly = cell.size() % 2 == 0;
    for (std::size_t i = 0; digitsOnly && i < cell.size(); i += 2) {
        const int high = hexDigitValue(cell[i]);
        const int low = hexDigitValue(cell[i + 1]);
        digitsOnly = high >= 0 && low >= 0;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    if (!digitsOnly) {
        message = "column \"" + names_[column] + "\": \"" + printable(cell) +
                  "\" is not bytes in hexadecimal (two digits a byte, nothing between)";
        return false;
    }
    options.symbol.data = std::move(bytes);
    options.symbol.escapes = false;
    return true;
}

}  // namespace barwright
