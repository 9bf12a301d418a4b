#include "cli/OutputFile.h"

#include <fcntl.h>
#include <stdlib.h>  // mkstemp
#include <sys/stat.h>
#include <unistd.h>

namespace barwright {

namespace {

// Hidden, and with a fixed stem so that a long output name cannot push the
// temporary name past the file system's limit.
constexpr const char* kTemporaryStem = "/.barwright-XXXXXX";
constexpr mode_t kPermissionBits = 07777;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    // A file in the root folder: the stem's own slash names the root.
    return slash == 0 ? std::string() : path.substr(0, slash);
}

}  // namespace

OutputFile::~OutputFile() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
    discardTemporary();
}

void OutputFile::discardTemporary() {
    if (!temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

bool OutputFile::replaceable(const char* name) {
    struct stat target {};
    // Only an existing regular file has bytes to keep. A device or a pipe
    // must be written itself, and replacing a file with several hard links
    // would part it from its other names. A symbolic link is written through
    // as well: it may lead anywhere, /dev/stdout included, whose file other
    // writers still hold open.
    return ::lstat(name, &target) == 0 && S_ISREG(target.st_mode) && target.st_nlink == 1;
}

Status OutputFile::openInPlace(const char* name) {
    // A pipe is opened like any file: the open waits for its reader, as a
    // writer into a named pipe is expected to.
    stream_ = std::fopen(name, "wb");
    return stream_ != nullptr ? status::kOk : status::kCantOpenOutput;
}

Status OutputFile::open(const char* name) {
    struct stat target {};
    if (!replaceable(name) || ::stat(name, &target) != 0) {
        return openInPlace(name);
    }
    targetPath_ = name;
    // The file must be writable by us, as opening it with "wb" would demand;
    // replacing it needs only the folder's permission.
    const int probe = ::open(targetPath_.c_str(), O_WRONLY | O_CLOEXEC);
    if (probe < 0) {
        return status::kCantOpenOutput;
    }
    ::close(probe);

    std::string pattern = folderOf(targetPath_) + kTemporaryStem;
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        // A folder we may not create files in: the file itself is writable,
        // so it is written in place after all.
        return openInPlace(name);
    }
    temporaryPath_ = pattern;
    // The replacement looks like the file it replaces: same permissions and,
    // where we may set it, same owner.
    (void)::fchmod(fd, target.st_mode & kPermissionBits);
    if (target.st_uid != ::geteuid() || target.st_gid != ::getegid()) {
        (void)::fchown(fd, target.st_uid, target.st_gid);
    }
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        ::close(fd);
        discardTemporary();
        return status::kCantOpenOutput;
    }
    return status::kOk;
}

Status OutputFile::commit() {
    if (stream_ == nullptr) {
        return status::kCantCloseOutput;
    }
    // A write that failed earlier (a full disk) may leave nothing for fclose
    // to report, so the stream's error flag is checked as well.
    const bool writeFailed = std::ferror(stream_) != 0;
    const bool closeFailed = std::fclose(stream_) != 0;
    stream_ = nullptr;
    if (writeFailed || closeFailed) {
        discardTemporary();
        return status::kCantCloseOutput;
    }
    if (!temporaryPath_.empty()) {
        if (::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
            discardTemporary();
            return status::kCantCloseOutput;
        }
        temporaryPath_.clear();
    }
    return status::kOk;
}

}  // namespace barwright
