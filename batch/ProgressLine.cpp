#include "batch/ProgressLine.h"

namespace barwright::batch {

namespace {

// Ten drawings a second look smooth and cost nothing next to the records.
constexpr std::chrono::milliseconds kRedrawInterval{100};

}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, bool enabled)
    : stream_(stream), enabled_(enabled), start_(Clock::now()), lastDrawn_(start_) {}

void ProgressLine::update(std::uint64_t done, std::uint64_t failed, bool now) {
    if (!enabled_) {
        return;
    }
    const Clock::time_point time = Clock::now();
    if (now || !drawnOnce_ || time - lastDrawn_ >= kRedrawInterval) {
        lastDrawn_ = time;
        draw(done, failed);
    }
}

void ProgressLine::draw(std::uint64_t done, std::uint64_t failed) {
    drawnOnce_ = true;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double rate = seconds > 0.0 ? static_cast<double>(done) / seconds : 0.0;
    char text[128];
    const int length =
        std::snprintf(text, sizeof text, "%llu records, %.0f/s, %llu failed",
                      static_cast<unsigned long long>(done), rate,
                      static_cast<unsigned long long>(failed));
    if (length <= 0) {
        return;
    }
    const auto newLength = static_cast<std::size_t>(length);
    // A shorter line (the rate fell by a digit) blanks what the longer one
    // left behind.
    std::string line = "\r";
    line.append(text, newLength);
    if (shownLength_ > newLength) {
        line.append(shownLength_ - newLength, ' ');
        line.push_back('\r');
        line.append(text, newLength);
    }
    shownLength_ = newLength;
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fflush(stream_);
}

void ProgressLine::clear() {
    if (!enabled_ || shownLength_ == 0) {
        return;
    }
    std::string line = "\r";
    line.append(shownLength_, ' ');
    line.push_back('\r');
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fflush(stream_);
    shownLength_ = 0;
    drawnOnce_ = false;  // the next update draws at once
}

void ProgressLine::finish(std::uint64_t done, std::uint64_t failed) {
    if (!enabled_) {
        return;
    }
    draw(done, failed);
    std::fputc('\n', stream_);
    std::fflush(stream_);
    shownLength_ = 0;
}

}  // namespace barwright::batch
