#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "barwright/Status.h"
#include "files/PendingFile.h"

namespace barwright {

// An output file, opened for binary writing. The picture takes
// its name only once it is complete, so that neither a write that fails
// half-way (a full disk, a file-size limit) nor a process killed in the
// middle leaves a file cut short, nor costs an existing file its bytes:
//  - A new file, or an existing regular file (also one that a chain of
//    symbolic links leads to), is written as a new unnamed file (O_TMPFILE)
//    in the same folder, which is linked in under the name when it is
//    complete and takes the place of the old file by a rename.
//  - Where the system has no unnamed files, a hidden temporary file beside
//    it takes that role; PendingFile::removeOnSignals removes it when a
//    signal ends the process.
//  - Anything else is written in place, as "wb" would: a device such as
//    /dev/full, a pipe, a file with several hard links, a symbolic link into
//    /dev or /proc (/dev/stdout, whose file other writers still hold open),
//    a link that leads nowhere, a folder that takes no new files.
class OutputFile {
public:
    OutputFile() = default;
    // Closes the stream and discards the new file unless commit() ran.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // kCantOpenOutput when the file cannot be opened (or created) for
    // writing.
    [[nodiscard]] Status open(const char* name);
    std::FILE* stream() const { return stream_; }
    // Closes the stream and puts the file in place; kCantCloseOutput when
    // writing or closing failed, in which case an existing file keeps its
    // bytes and a new one is not created.
    [[nodiscard]] Status commit();
    // The system's reason (an errno value) for the last failure of open or
    // commit; 0 when neither failed.
    int error() const { return error_; }

    // Writes bytes as the whole of the named file, as open, a write and
    // commit do: kCantOpenOutput or kCantCloseOutput with the system's reason
    // in error (EIO when it gave none), and then no file cut short.
    [[nodiscard]] static Status writeWhole(const char* name, std::string_view bytes, int& error);

private:
    [[nodiscard]] Status openInPlace(const char* name);
    // Records errno as the reason and returns result.
    [[nodiscard]] Status fail(Status result);
    // Opens the file that will take the target's name; false when its folder
    // allows none. existing is null for a new file.
    [[nodiscard]] bool openUnnamed(const struct stat* existing);
    [[nodiscard]] bool openTemporary(const struct stat* existing);
    [[nodiscard]] bool adopt(int fd, const struct stat* existing);
    // Gives the complete unnamed file the target's name.
    [[nodiscard]] Status linkUnnamed();
    void discard();

    std::FILE* stream_ = nullptr;
    // A second descriptor of the unnamed file: it keeps the file alive, and
    // linkable, after the stream is closed and its close checked.
    int unnamedFd_ = -1;
    PendingFile temporary_;   // the hidden temporary file, when there is one
    std::string targetPath_;  // empty when writing in place
    std::string folder_;      // the target's folder
    bool replacing_ = false;  // whether the target existed at open
    int error_ = 0;
};

}  // namespace barwright
