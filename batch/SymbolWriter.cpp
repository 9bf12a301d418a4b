#include "batch/SymbolWriter.h"

#include <cerrno>
#include <cstdio>
#include <new>

#include "files/OutputFolders.h"
#include "files/SystemError.h"

namespace barwright::batch {

void SymbolWriter::write(const RecordTask& task, RecordResult& result) noexcept {
    result = RecordResult();
    try {
        result.status = makeFiles(task, result);
    } catch (const std::bad_alloc&) {
        result.status = status::kFail;
        result.reason = "out of memory";
    }
    if (result.status != status::kOk && result.name.empty()) {
        result.name = task.firstName();
    }
}

void SymbolWriter::encode(const RecordTask& task, RecordResult& result) noexcept {
    result = RecordResult();
    try {
        result.status = maker_.encode(task, result);
        if (result.status == status::kOk) {
            maker_.takeSymbols(result.symbols);
        }
    } catch (const std::bad_alloc&) {
        result.status = status::kFail;
        result.reason = "out of memory";
    }
}

Status SymbolWriter::makeFiles(const RecordTask& task, RecordResult& result) {
    Status status = maker_.encode(task, result);
    for (std::size_t i = 0; status == status::kOk && i < maker_.symbolCount(); ++i) {
        status = maker_.makeFile(i, task, result);
        if (status == status::kOk) {
            status = task.toStandardOutput ? writeStandardOutput(result)
                                           : writeFile(task.names[i], result);
        }
    }
    return status;
}

Status SymbolWriter::writeFile(const std::string& name, RecordResult& result) {
    const Status status = writeFileCreatingFolders(name, maker_.bytes(), makeFolders_,
                                                   result.reason, result.missingFolder);
    if (status != status::kOk) {
        result.name = name;
    }
    return status;
}

Status SymbolWriter::writeStandardOutput(RecordResult& result) {
    const std::string_view bytes = maker_.bytes();
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    if (!written || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        result.name = "-";
        result.reason = systemErrorText(errno != 0 ? errno : EIO);
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

}  // namespace barwright::batch
