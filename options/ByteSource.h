#pragma once

#include <cstddef>

namespace barwright {

// Where a RecordReader's bytes come from: a file, standard input, or memory
// in tests and fuzzing. The reader asks for fixed-size chunks, so a source
// never has to hold the whole input.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Copies up to `capacity` bytes (capacity > 0) into `buffer` and returns
    // how many; 0 at the end of the input or when reading failed, which
    // error() tells apart.
    virtual std::size_t read(char* buffer, std::size_t capacity) noexcept = 0;
    // The errno of the read that failed; 0 while none has.
    virtual int error() const noexcept { return 0; }

protected:
    ByteSource() = default;
    ByteSource(const ByteSource&) = default;
    ByteSource& operator=(const ByteSource&) = default;
};

}  // namespace barwright
