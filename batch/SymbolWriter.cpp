#include "batch/SymbolWriter.h"

#include <cerrno>
#include <cstdio>
#include <new>

#include "batch/OutputFolders.h"
#include "files/OutputFile.h"
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
        result.name = task.toStandardOutput || task.names.empty() ? "-" : task.names.front();
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
    if (makeFolders_) {
        if (const int error = createFoldersFor(name); error != 0) {
            result.name = name;
            result.reason = "cannot create its folder: " + systemErrorText(error);
            return status::kCantOpenOutput;
        }
    }
    int error = 0;
    const Status status = OutputFile::writeWhole(name.c_str(), maker_.bytes(), error);
    if (status != status::kOk) {
        result.name = name;
        result.reason = systemErrorText(error);
        if (status == status::kCantOpenOutput && error == ENOENT) {
            result.missingFolder = missingFolderOf(name);
        }
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
