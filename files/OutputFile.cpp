#include "files/OutputFile.h"

#include <fcntl.h>
#include <limits.h>  // PATH_MAX
#include <stdlib.h>  // realpath, free
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

namespace barwright {

namespace {

constexpr mode_t kPermissionBits = 07777;
// What "wb" asks for a new file; the umask (or the folder's default ACL)
// takes its share, as it would from fopen.
constexpr mode_t kNewFileMode = 0666;
// A replacement starts private and takes the old file's permissions.
constexpr mode_t kReplacementMode = 0600;
// As many symbolic links as Linux follows in one path (MAXSYMLINKS).
constexpr int kMostLinks = 40;
#ifdef PATH_MAX
constexpr std::size_t kLongestLink = PATH_MAX;
#else
constexpr std::size_t kLongestLink = 4096;
#endif

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The contents of a symbolic link as a path: relative contents count from
// the link's own folder. False when the link cannot be read whole.
bool followLink(const std::string& link, std::string& next) {
    std::vector<char> contents(kLongestLink);
    const ssize_t length = ::readlink(link.c_str(), contents.data(), contents.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= contents.size()) {
        return false;
    }
    next.assign(contents.data(), static_cast<std::size_t>(length));
    if (next.front() != '/') {
        const std::string folder = folderOf(link);
        next = (folder == "/" ? folder : folder + "/") + next;
    }
    return true;
}

// Whether the path lies in /dev or /proc, wherever its folder's name leads.
// /dev/stdout and /proc/self/fd/1 are links to whatever file standard output
// is, which the shell and other writers hold open and expect to stay the
// file they see; such a file must be written, never replaced.
bool insideSystemFolder(const std::string& path) {
    char* canonical = ::realpath(folderOf(path).c_str(), nullptr);
    if (canonical == nullptr) {
        return true;  // unknown: written in place, as it always was
    }
    const std::string folder(canonical);
    ::free(canonical);
    for (const char* system : {"/dev", "/proc"}) {
        const std::size_t length = std::strlen(system);
        if (folder.compare(0, length, system) == 0 &&
            (folder.size() == length || folder[length] == '/')) {
            return true;
        }
    }
    return false;
}

enum class Target {
    kInPlace,   // written through the name, as "wb" would
    kExisting,  // a regular file to replace: path and status describe it
    kNew,       // a file to create at path
};

// Follows the name through its symbolic links to the file its bytes belong
// in. Only an existing regular file with one name has bytes to keep: a
// device or a pipe must be written itself, and replacing a file with several
// hard links would part it from its other names. A link that leads nowhere
// is followed by the open, which creates the file where it points, as
// before.
Target findTarget(const char* name, std::string& path, struct stat& status) {
    path = name;
    for (int links = 0; links <= kMostLinks; ++links) {
        if (::lstat(path.c_str(), &status) != 0) {
            const bool fileName = !path.empty() && path.back() != '/';
            return errno == ENOENT && links == 0 && fileName ? Target::kNew : Target::kInPlace;
        }
        if (!S_ISLNK(status.st_mode)) {
            if (!S_ISREG(status.st_mode) || status.st_nlink != 1) {
                return Target::kInPlace;
            }
            return links == 0 || !insideSystemFolder(path) ? Target::kExisting : Target::kInPlace;
        }
        std::string next;
        if (insideSystemFolder(path) || !followLink(path, next)) {
            return Target::kInPlace;
        }
        path = next;
    }
    return Target::kInPlace;  // a loop, which the open reports
}

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Whether descriptors can be named through /proc. Looked up once: a bulk run
// writes thousands of files, and /proc does not come and go while it runs.
bool descriptorsHaveNames(int fd) {
    static std::atomic<bool> known{false};
    if (known.load(std::memory_order_relaxed)) {
        return true;
    }
    if (::access(descriptorPath(fd).c_str(), F_OK) != 0) {
        return false;
    }
    known.store(true, std::memory_order_relaxed);
    return true;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (unnamedFd_ >= 0) {
        ::close(unnamedFd_);  // the unnamed file goes with its last descriptor
        unnamedFd_ = -1;
    }
    temporary_.remove();
}

Status OutputFile::openInPlace(const char* name) {
    // A pipe is opened like any file: the open waits for its reader, as a
    // writer into a named pipe is expected to.
    stream_ = std::fopen(name, "wb");
    if (stream_ == nullptr) {
        return fail(status::kCantOpenOutput);
    }
    return status::kOk;
}

Status OutputFile::fail(Status result) {
    // Some failures leave no reason behind (a short write that the stream
    // only flagged); they are input/output errors to the reader.
    error_ = errno != 0 ? errno : EIO;
    return result;
}

Status OutputFile::open(const char* name) {
    discard();
    error_ = 0;
    struct stat existing {};
    const Target target = findTarget(name, targetPath_, existing);
    if (target == Target::kInPlace) {
        targetPath_.clear();
        return openInPlace(name);
    }
    replacing_ = target == Target::kExisting;
    if (replacing_) {
        // The file must be writable by us, as opening it with "wb" would
        // demand; replacing it needs only the folder's permission.
        const int probe = ::open(targetPath_.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0) {
            targetPath_.clear();
            return fail(status::kCantOpenOutput);
        }
        ::close(probe);
    }
    folder_ = folderOf(targetPath_);
    const struct stat* old = replacing_ ? &existing : nullptr;
    if (openUnnamed(old) || openTemporary(old)) {
        return status::kOk;
    }
    // A folder we may not create files in: a file there that we may write
    // is written in place after all, and a new one fails to open.
    targetPath_.clear();
    errno = 0;
    return openInPlace(name);
}

bool OutputFile::openUnnamed(const struct stat* existing) {
#ifdef O_TMPFILE
    const int fd = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
                          existing != nullptr ? kReplacementMode : kNewFileMode);
    if (fd < 0) {
        return false;  // a file system without unnamed files, or no permission
    }
    // The file is named later through /proc; without it, the temporary file
    // is the way.
    unnamedFd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (unnamedFd_ < 0 || !descriptorsHaveNames(unnamedFd_)) {
        ::close(fd);
        discard();
        return false;
    }
    if (!adopt(fd, existing)) {
        discard();
        return false;
    }
    return true;
#else
    (void)existing;
    return false;
#endif
}

bool OutputFile::openTemporary(const struct stat* existing) {
    const mode_t mode = existing != nullptr ? kReplacementMode : kNewFileMode;
    int fd = -1;
    if (!temporary_.create(folder_, [&](const char* path) {
            fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            return fd >= 0;
        })) {
        return false;
    }
    if (!adopt(fd, existing)) {
        discard();
        return false;
    }
    return true;
}

bool OutputFile::adopt(int fd, const struct stat* existing) {
    if (existing != nullptr) {
        // The replacement looks like the file it replaces: same permissions
        // and, where we may set it, same owner.
        (void)::fchmod(fd, existing->st_mode & kPermissionBits);
        if (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) {
            (void)::fchown(fd, existing->st_uid, existing->st_gid);
        }
    }
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        ::close(fd);
        return false;
    }
    return true;
}

Status OutputFile::commit() {
    errno = 0;
    if (stream_ == nullptr) {
        return fail(status::kCantCloseOutput);
    }
    // A write that failed earlier (a full disk) may leave nothing for fclose
    // to report, so the stream's error flag is checked as well.
    const bool writeFailed = std::ferror(stream_) != 0;
    const bool closeFailed = std::fclose(stream_) != 0;
    stream_ = nullptr;
    Status result = status::kOk;
    if (writeFailed || closeFailed) {
        result = fail(status::kCantCloseOutput);
    } else if (unnamedFd_ >= 0) {
        result = linkUnnamed();
    } else if (!temporary_.path().empty()) {
        if (::rename(temporary_.path().c_str(), targetPath_.c_str()) == 0) {
            temporary_.forget();
        } else {
            result = fail(status::kCantCloseOutput);
        }
    }
    discard();
    return result;
}

Status OutputFile::linkUnnamed() {
    const std::string unnamed = descriptorPath(unnamedFd_);
    const auto linkAs = [&unnamed](const char* path) {
        return ::linkat(AT_FDCWD, unnamed.c_str(), AT_FDCWD, path, AT_SYMLINK_FOLLOW) == 0;
    };
    if (!replacing_) {
        if (linkAs(targetPath_.c_str())) {
            return status::kOk;
        }
        if (errno != EEXIST) {
            return fail(status::kCantCloseOutput);
        }
        // Another writer made the name while we wrote: the newer picture
        // takes its place, as it takes an old file's.
    }
    // A link never takes over a name, so the file gets a hidden one first and
    // the rename puts it in the old file's place in one step; the hidden name
    // lives only between the two calls.
    PendingFile hidden;
    if (!hidden.create(folder_, linkAs) ||
        ::rename(hidden.path().c_str(), targetPath_.c_str()) != 0) {
        return fail(status::kCantCloseOutput);
    }
    hidden.forget();
    return status::kOk;
}

Status OutputFile::writeWhole(const char* name, std::string_view bytes, int& error) {
    OutputFile file;
    Status status = file.open(name);
    error = file.error();
    if (status != status::kOk) {
        return status;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
        // The file is not committed, so an existing one keeps its bytes.
        error = errno != 0 ? errno : EIO;
        return status::kCantCloseOutput;
    }
    status = file.commit();
    error = file.error();
    return status;
}

}  // namespace barwright
