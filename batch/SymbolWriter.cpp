#include "batch/SymbolWriter.h"

#include <string.h>  // strerror_r

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "barwright/BitRenderer.h"
#include "barwright/EpsRenderer.h"
#include "barwright/MacroSegments.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SvgRenderer.h"
#include "barwright/TextRenderer.h"
#include "files/OutputFile.h"
#include "batch/FitReason.h"
#include "batch/OutputFolders.h"

namespace barwright::batch {

namespace {

// Codewords of a file ID carry 0..899 each.
constexpr std::uint64_t kFileIdBase = 900;
// kMinLumaDifference as a share of full scale.
constexpr std::int32_t kMinContrastPercent = 20;

// strerror_r comes in two kinds: GNU's returns the text, POSIX's fills the
// buffer. strerror itself need not be safe on several threads.
[[maybe_unused]] const char* errorText(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}
[[maybe_unused]] const char* errorText(const char* text, const char*) { return text; }

std::string systemReason(int error) {
    if (error == 0) {
        return std::string();
    }
    char buffer[256] = {};
    return errorText(::strerror_r(error, buffer, sizeof buffer), buffer);
}

// Why a picture was refused when its colours are the cause.
std::string contrastReason(const PictureSettings& picture) {
    if (hasReadableContrast(picture.foreground, picture.background)) {
        return std::string();
    }
    char colours[64];
    std::snprintf(colours, sizeof colours, "bars %06x on %06x", picture.foreground & kColorBits,
                  picture.background & kColorBits);
    // In whole percent of full scale, rounded down, so that it never shows
    // the 20 that would pass.
    const std::int32_t percent = lumaDifference(picture.foreground, picture.background) /
                                 (kMinLumaDifference / kMinContrastPercent);
    return std::string(colours) + " differ in luma by " + std::to_string(percent) +
           " % of full scale; readers need " + std::to_string(kMinContrastPercent) + " %";
}

// The sums and largest values over the symbols of a record.
void addFacts(const EncodedSymbol& symbol, SymbolFacts& facts) {
    facts.columns = symbol.columns;
    facts.rows = std::max(facts.rows, symbol.rows);
    facts.errorCorrectionLevel = std::max(facts.errorCorrectionLevel, symbol.errorCorrectionLevel);
    facts.dataCodewords += symbol.dataCodewordCount;
    facts.dataCapacity += symbol.dataCapacity;
}

}  // namespace

std::string macroFileId(std::uint64_t recordNumber) {
    std::string groups;
    do {
        const auto digit = static_cast<unsigned>(recordNumber % kFileIdBase);
        const char group[3] = {static_cast<char>('0' + digit / 100),
                               static_cast<char>('0' + digit / 10 % 10),
                               static_cast<char>('0' + digit % 10)};
        groups.insert(0, group, 3);
        recordNumber /= kFileIdBase;
    } while (recordNumber > 0);
    return "#" + groups;
}

void SymbolWriter::write(const RecordTask& task, RecordResult& result) noexcept {
    result = RecordResult();
    if (task.failure != status::kOk) {
        result.status = task.failure;
        result.name = task.failureName;
        result.reason = task.failureReason;
        return;
    }
    try {
        result.status = makeFiles(task, result);
    } catch (const std::bad_alloc&) {
        result.status = status::kFail;
        result.reason = "out of memory";
    }
    if (result.status != status::kOk && result.name.empty()) {
        result.name = task.toStandardOutput || task.names.empty() ? "-" : task.names.front();
    }
}

Status SymbolWriter::encodeTask(const RecordTask& task, RecordResult& result) {
    // A plain symbol is encoded from the task's own settings: most records
    // are, and a copy of their data would be work for nothing.
    SymbolSettings settings;
    Status status = status::kOk;
    if (settings_.macroSegments == 0) {
        status = encode(task.options.symbol, symbol_);
    } else {
        settings = task.options.symbol;
        settings.macro.enabled = true;
        settings.macro.fileId = fileIdOf(task);
        status = encodeMacroSegments(settings, settings_.macroSegments, segments_);
    }
    if (status == status::kInvalidArgument && settings_.macroSegments > 0) {
        result.reason = "the data has fewer bytes than --macro asks for symbols";
    } else if (isFitStatus(status)) {
        // The record's own file ID, should the advice be more symbols.
        settings = task.options.symbol;
        settings.macro.fileId = fileIdOf(task);
        result.reason = fitReason(settings, settings_.macroSegments);
    }
    return status;
}

std::string SymbolWriter::fileIdOf(const RecordTask& task) const {
    return settings_.fileId.empty() ? macroFileId(task.number) : settings_.fileId;
}

Status SymbolWriter::makeFiles(const RecordTask& task, RecordResult& result) {
    Status status = encodeTask(task, result);
    if (status != status::kOk) {
        return status;
    }
    const bool macro = settings_.macroSegments > 0;
    const std::size_t count = macro ? segments_.size() : 1;
    for (std::size_t i = 0; status == status::kOk && i < count; ++i) {
        const EncodedSymbol& symbol = macro ? segments_[i] : symbol_;
        addFacts(symbol, result.facts);
        status = draw(symbol, task.options.picture, task.format);
        if (status == status::kInvalidArgument) {
            result.reason = contrastReason(task.options.picture);
        } else if (status == status::kOk) {
            status = task.toStandardOutput ? writeStandardOutput(task.format, result)
                                           : writeFile(task.names[i], task.format, result);
        }
    }
    return status;
}

const void* SymbolWriter::drawnBytes(OutputFormat format) const {
    const bool png = format == OutputFormat::kPng || format == OutputFormat::kPng1;
    return png ? static_cast<const void*>(png_.data()) : text_.data();
}

std::size_t SymbolWriter::drawnSize(OutputFormat format) const {
    const bool png = format == OutputFormat::kPng || format == OutputFormat::kPng1;
    return png ? png_.size() : text_.size();
}

Status SymbolWriter::draw(const EncodedSymbol& symbol, const PictureSettings& picture,
                          OutputFormat format) {
    Status status = status::kOk;
    // txt records no resolution, whatever the run's --dpi.
    switch (format) {
        case OutputFormat::kPng:
            status = renderRgb(symbol, picture, rgb_);
            return status != status::kOk ? status : writePng(rgb_, settings_.png, png_);
        case OutputFormat::kPng1:
            status = renderBits(symbol, picture, bits_);
            return status != status::kOk ? status : writePng(bits_, settings_.png, png_);
        case OutputFormat::kSvg:
            return renderSvg(symbol, picture, settings_.dpi, text_);
        case OutputFormat::kEps:
            return renderEps(symbol, picture, settings_.dpi, text_);
        case OutputFormat::kTxt:
            // The symbol's modules alone: no picture setting applies.
            return renderText(symbol, text_);
    }
    return status::kFail;
}

Status SymbolWriter::writeFile(const std::string& name, OutputFormat format, RecordResult& result) {
    const std::size_t size = drawnSize(format);
    if (settings_.makeFolders) {
        if (const int error = createFoldersFor(name); error != 0) {
            result.name = name;
            result.reason = "cannot create its folder: " + systemReason(error);
            return status::kCantOpenOutput;
        }
    }
    OutputFile file;
    Status status = file.open(name.c_str());
    if (status == status::kOk) {
        errno = 0;
        if (std::fwrite(drawnBytes(format), 1, size, file.stream()) != size) {
            // The file is not committed, so an existing one keeps its bytes.
            result.name = name;
            result.reason = systemReason(errno != 0 ? errno : EIO);
            return status::kCantCloseOutput;
        }
        status = file.commit();
    }
    if (status != status::kOk) {
        result.name = name;
        result.reason = systemReason(file.error());
        if (status == status::kCantOpenOutput && file.error() == ENOENT) {
            result.missingFolder = missingFolderOf(name);
        }
    }
    return status;
}

Status SymbolWriter::writeStandardOutput(OutputFormat format, RecordResult& result) {
    const std::size_t size = drawnSize(format);
    errno = 0;
    const bool written = std::fwrite(drawnBytes(format), 1, size, stdout) == size;
    if (!written || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        result.name = "-";
        result.reason = systemReason(errno != 0 ? errno : EIO);
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

}  // namespace barwright::batch
