#include "files/OutputFolders.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/OutputFile.h"
#include "files/SystemError.h"

namespace barwright {

namespace {

constexpr char kSeparator = '/';
// What mkdir -p asks for; the umask takes away what the user withholds.
constexpr mode_t kFolderMode = 0777;

}  // namespace

int createFoldersFor(const std::string& fileName) {
    // Every prefix that ends before a separator is a folder on the way;
    // "a//b" and "./a" make nothing twice.
    for (std::size_t slash = fileName.find(kSeparator, 1); slash != std::string::npos;
         slash = fileName.find(kSeparator, slash + 1)) {
        const std::string folder = fileName.substr(0, slash);
        if (::mkdir(folder.c_str(), kFolderMode) == 0) {
            continue;
        }
        if (errno != EEXIST) {
            return errno;
        }
        struct stat status {};
        if (::stat(folder.c_str(), &status) != 0) {
            return errno;
        }
        if (!S_ISDIR(status.st_mode)) {
            return ENOTDIR;
        }
    }
    return 0;
}

std::string missingFolderOf(const std::string& fileName) {
    const std::size_t slash = fileName.rfind(kSeparator);
    if (slash == std::string::npos || slash == 0) {
        return std::string();
    }
    const std::string folder = fileName.substr(0, slash);
    struct stat status {};
    return ::stat(folder.c_str(), &status) != 0 && errno == ENOENT ? folder : std::string();
}

Status writeFileCreatingFolders(const std::string& fileName, std::string_view bytes,
                                bool makeFolders, std::string& reason, std::string& missingFolder) {
    if (makeFolders) {
        if (const int error = createFoldersFor(fileName); error != 0) {
            reason = "cannot create its folder: " + systemErrorText(error);
            return status::kCantOpenOutput;
        }
    }
    int error = 0;
    const Status status = OutputFile::writeWhole(fileName.c_str(), bytes, error);
    if (status != status::kOk) {
        reason = systemErrorText(error);
        if (status == status::kCantOpenOutput && error == ENOENT) {
            missingFolder = missingFolderOf(fileName);
        }
    }
    return status;
}

}  // namespace barwright
