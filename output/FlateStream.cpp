#include "output/FlateStream.h"

#include <limits>
#include <new>

namespace barwright {

FlateStream::~FlateStream() {
    if (ready_) {
        deflateEnd(&stream_);
    }
}

Status FlateStream::compress(std::string_view data, std::string& out) {
    out.clear();
    if (!ready_) {
        // deflateInit's window and memory, with the strategy.
        constexpr int kWindowBits = 15;
        constexpr int kMemoryLevel = 8;
        if (deflateInit2(&stream_, level_, Z_DEFLATED, kWindowBits, kMemoryLevel, strategy_) !=
            Z_OK) {
            return status::kFail;
        }
        ready_ = true;
    } else if (deflateReset(&stream_) != Z_OK) {
        return status::kFail;
    }
    if (data.size() > std::numeric_limits<uInt>::max()) {
        return status::kFail;
    }
    try {
        out.resize(deflateBound(&stream_, static_cast<uLong>(data.size())));
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream_.avail_in = static_cast<uInt>(data.size());
    stream_.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream_.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) {
        out.clear();
        return status::kFail;
    }
    out.resize(stream_.total_out);
    return status::kOk;
}

}  // namespace barwright
