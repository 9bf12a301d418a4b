#include "batch/FileDescriptorSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace barwright::batch {

FileDescriptorSource::~FileDescriptorSource() { closeOwned(); }

void FileDescriptorSource::closeOwned() noexcept {
    if (owned_) {
        // Nothing was written, so a failing close loses nothing.
        ::close(descriptor_);
        owned_ = false;
    }
}

int FileDescriptorSource::open(const char* path) noexcept {
    // A folder opens but fails at the first read (EISDIR), which reports it.
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return errno;
    }
    closeOwned();
    descriptor_ = descriptor;
    owned_ = true;
    error_ = 0;
    return 0;
}

bool FileDescriptorSource::stopped() const noexcept {
    return stop_ != nullptr && stop_->load(std::memory_order_relaxed) != 0;
}

std::size_t FileDescriptorSource::read(char* buffer, std::size_t capacity) noexcept {
    if (error_ != 0) {
        return 0;  // a failed source stays failed
    }
    for (;;) {
        // A signal that came just before the read would otherwise not stop
        // a read that then waits for input.
        if (stopped()) {
            error_ = EINTR;
            return 0;
        }
        const ssize_t count = ::read(descriptor_, buffer, capacity);
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        // A signal that interrupted the read lost no bytes: ask again,
        // unless it asked the run to stop.
        if (errno != EINTR) {
            error_ = errno;
            return 0;
        }
    }
}

}  // namespace barwright::batch
