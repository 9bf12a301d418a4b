#pragma once

#include <zlib.h>

#include <string>
#include <string_view>

#include "barwright/Status.h"

namespace barwright {

// zlib's deflate for whole buffers, one after another: the stream is made
// once and reset between buffers, which saves making its quarter megabyte
// of tables each time.
class FlateStream {
public:
    FlateStream() = default;
    ~FlateStream();
    FlateStream(const FlateStream&) = delete;
    FlateStream& operator=(const FlateStream&) = delete;

    // data compressed (zlib format, as PDF's FlateDecode reads it) into
    // out, replacing what it held. kFail when zlib fails or memory runs out.
    [[nodiscard]] Status compress(std::string_view data, std::string& out);

private:
    z_stream stream_{};
    bool ready_ = false;
};

}  // namespace barwright
