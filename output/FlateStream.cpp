#include "output/FlateStream.h"

#include <limits>
#include <new>

namespace barwright {
namespace {

// Measured on pages of labels (bench/StagesBench.cpp, BM_LabelSheet): level
// 1 (which zlib runs without lazy matching) makes pages a third larger than
// level 6 in a quarter of the time. Label content is short lines of numbers
// that repeat little, where the longer searches find little more.
constexpr int kLevel = 1;

}  // namespace

FlateStream::~FlateStream() {
    if (ready_) {
        deflateEnd(&stream_);
    }
}

Status FlateStream::compress(std::string_view data, std::string& out) {
    out.clear();
    if (!ready_) {
        if (deflateInit(&stream_, kLevel) != Z_OK) {
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
