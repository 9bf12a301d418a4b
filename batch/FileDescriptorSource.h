#pragma once

#include <atomic>
#include <cstddef>

#include "options/ByteSource.h"

namespace barwright::batch {

// Reads standard input, or a file once open() has opened one; an opened file
// is closed with the source, standard input never is.
class FileDescriptorSource final : public ByteSource {
public:
    FileDescriptorSource() noexcept = default;
    ~FileDescriptorSource() override;
    FileDescriptorSource(const FileDescriptorSource&) = delete;
    FileDescriptorSource& operator=(const FileDescriptorSource&) = delete;

    // Reads `path` from now on instead of standard input (or an earlier
    // file). Returns 0, or the errno of the failed open, in which case the
    // source reads what it read before.
    [[nodiscard]] int open(const char* path) noexcept;

    // From now on a read that a signal interrupts gives up, failing with
    // EINTR, once `stop` is non-zero: the flag that the signal's handler
    // sets. A handler installed without SA_RESTART makes a read that waits
    // for input (a terminal, a pipe) return, so that the run can stop. The
    // flag must outlive the source; null (the default) retries every
    // interrupted read.
    void stopWhenSet(const std::atomic<int>* stop) noexcept { stop_ = stop; }

    std::size_t read(char* buffer, std::size_t capacity) noexcept override;
    int error() const noexcept override { return error_; }

private:
    void closeOwned() noexcept;
    bool stopped() const noexcept;

    int descriptor_ = 0;  // standard input
    bool owned_ = false;
    int error_ = 0;
    const std::atomic<int>* stop_ = nullptr;
};

}  // namespace barwright::batch
