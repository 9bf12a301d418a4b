#include "options/OutputFormat.h"

#include "options/Conversions.h"

namespace barwright {

namespace {

struct FormatEntry {
    OutputFormat format;
    const char* name;
    const char* extension;
    const char* mediaType;
};

// In the order of OutputFormat.
constexpr FormatEntry kFormats[] = {
    {OutputFormat::kPng, "png", "png", "image/png"},
    {OutputFormat::kPng1, "png1", "png", "image/png"},
    {OutputFormat::kSvg, "svg", "svg", "image/svg+xml"},
    {OutputFormat::kEps, "eps", "eps", "application/postscript"},
    {OutputFormat::kTxt, "txt", "txt", "text/plain; charset=us-ascii"},
    {OutputFormat::kPdf, "pdf", "pdf", "application/pdf"},
};

const FormatEntry& entryOf(OutputFormat format) {
    return kFormats[static_cast<std::size_t>(format)];
}

bool isOffered(OutputFormat format, FormatSet offered) {
    return (formatBit(format) & offered) != 0;
}

}  // namespace

std::optional<OutputFormat> formatNamed(std::string_view name, FormatSet offered) noexcept {
    for (const FormatEntry& entry : kFormats) {
        if (name == entry.name && isOffered(entry.format, offered)) {
            return entry.format;
        }
    }
    return std::nullopt;
}

const char* formatName(OutputFormat format) noexcept { return entryOf(format).name; }

const char* fileExtension(OutputFormat format) noexcept { return entryOf(format).extension; }

const char* mediaType(OutputFormat format) noexcept { return entryOf(format).mediaType; }

std::string formatNames(FormatSet offered, const char* lastSeparator) {
    std::string names;
    std::string last;
    for (const FormatEntry& entry : kFormats) {
        if (!isOffered(entry.format, offered)) {
            continue;
        }
        if (!last.empty()) {
            names += names.empty() ? "" : ", ";
            names += last;
        }
        last = entry.name;
    }
    return names.empty() ? last : names + lastSeparator + last;
}

std::optional<OutputFormat> outputFormatOf(std::string_view path, FormatSet offered) noexcept {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    // A leading dot makes a hidden name, not an extension.
    if (dot == std::string_view::npos || dot == 0) {
        return std::nullopt;
    }
    const std::string_view extension = name.substr(dot + 1);
    for (const FormatEntry& entry : kFormats) {
        if (entry.format != OutputFormat::kPng1 && isOffered(entry.format, offered) &&
            equalsIgnoringCase(extension, entry.extension)) {
            return entry.format;
        }
    }
    return std::nullopt;
}

bool nameAllowsFormat(std::string_view path, OutputFormat format, FormatSet offered) noexcept {
    const std::optional<OutputFormat> named = outputFormatOf(path, offered);
    return !named || *named == format ||
           (*named == OutputFormat::kPng && format == OutputFormat::kPng1);
}

}  // namespace barwright
