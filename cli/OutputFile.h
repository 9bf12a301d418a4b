#pragma once

#include <cstdio>
#include <string>

#include "barwright/Status.h"

namespace barwright {

// The output file of one run, opened for binary writing. When the name is an
// existing regular file, the new bytes go to a temporary file beside it that
// replaces it only once everything was written and closed, so a write that
// fails half-way (a full disk, a file-size limit) leaves the old file whole.
// Anything else (a new file, a device such as /dev/full, a pipe, a symbolic
// link, a file with several hard links) is written in place, as "wb" would.
class OutputFile {
public:
    OutputFile() = default;
    // Closes the stream and removes the temporary file unless commit() ran.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // 25 when the file cannot be opened (or created) for writing.
    [[nodiscard]] Status open(const char* name);
    std::FILE* stream() const { return stream_; }
    // Closes the stream and puts the file in place; 26 when writing or closing
    // failed, in which case an existing file keeps its bytes.
    [[nodiscard]] Status commit();

private:
    [[nodiscard]] Status openInPlace(const char* name);
    // False when the name must be written in place.
    static bool replaceable(const char* name);
    void discardTemporary();

    std::FILE* stream_ = nullptr;
    std::string temporaryPath_;  // empty when writing in place
    std::string targetPath_;
};

}  // namespace barwright
