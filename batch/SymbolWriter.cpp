#include "batch/SymbolWriter.h"

#include <string.h>  // strerror_r

#include <cerrno>
#include <cstring>
#include <new>

#include "barwright/BitRenderer.h"
#include "barwright/EpsRenderer.h"
#include "barwright/MacroSegments.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SvgRenderer.h"
#include "barwright/TextRenderer.h"
#include "files/OutputFile.h"

namespace barwright::batch {

namespace {

// Codewords of a file ID carry 0..899 each.
constexpr std::uint64_t kFileIdBase = 900;

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

Status SymbolWriter::makeFiles(const RecordTask& task, RecordResult& result) {
    const PictureSettings& picture = task.options.picture;
    const auto output = [&](const EncodedSymbol& symbol, std::size_t index) {
        Status status = draw(symbol, picture);
        if (status != status::kOk) {
            return status;
        }
        if (task.toStandardOutput) {
            return writeStandardOutput(result);
        }
        return writeFile(task.names[index], result);
    };

    if (settings_.macroSegments == 0) {
        const Status status = encode(task.options.symbol, symbol_);
        return status != status::kOk ? status : output(symbol_, 0);
    }
    SymbolSettings settings = task.options.symbol;
    settings.macro.enabled = true;
    settings.macro.fileId = settings_.fileId.empty() ? macroFileId(task.number) : settings_.fileId;
    Status status = encodeMacroSegments(settings, settings_.macroSegments, segments_);
    if (status == status::kInvalidArgument) {
        result.reason = "the data has fewer bytes than --macro asks for symbols";
    }
    for (std::size_t i = 0; status == status::kOk && i < segments_.size(); ++i) {
        status = output(segments_[i], i);
    }
    return status;
}

bool SymbolWriter::drawsBytes() const {
    return settings_.format == OutputFormat::kPng || settings_.format == OutputFormat::kPng1;
}

Status SymbolWriter::draw(const EncodedSymbol& symbol, const PictureSettings& picture) {
    Status status = status::kOk;
    switch (settings_.format) {
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

Status SymbolWriter::writeFile(const std::string& name, RecordResult& result) {
    const void* bytes = drawsBytes() ? static_cast<const void*>(png_.data()) : text_.data();
    const std::size_t size = drawsBytes() ? png_.size() : text_.size();
    OutputFile file;
    Status status = file.open(name.c_str());
    if (status == status::kOk) {
        errno = 0;
        if (std::fwrite(bytes, 1, size, file.stream()) != size) {
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
    }
    return status;
}

Status SymbolWriter::writeStandardOutput(RecordResult& result) {
    const void* bytes = drawsBytes() ? static_cast<const void*>(png_.data()) : text_.data();
    const std::size_t size = drawsBytes() ? png_.size() : text_.size();
    errno = 0;
    const bool written = std::fwrite(bytes, 1, size, stdout) == size;
    if (!written || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        result.name = "-";
        result.reason = systemReason(errno != 0 ? errno : EIO);
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

}  // namespace barwright::batch
