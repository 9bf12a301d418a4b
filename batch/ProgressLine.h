#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace barwright::batch {

// The line on a terminal that shows how a long run goes: "1234 records,
// 456/s, 2 failed", rewritten in place with a carriage return at most ten
// times a second. Off, it prints nothing at all.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    ProgressLine(std::FILE* stream, bool enabled);

    // The counts now; redrawn when the last drawing is old enough, or when
    // `now` is true.
    void update(std::uint64_t done, std::uint64_t failed, bool now = false);
    // Wipes the line, so that a message can take its place; the next update
    // draws it again.
    void clear();
    // Draws the final counts and ends the line.
    void finish(std::uint64_t done, std::uint64_t failed);

private:
    void draw(std::uint64_t done, std::uint64_t failed);

    std::FILE* stream_;
    bool enabled_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
    bool drawnOnce_ = false;
    std::size_t shownLength_ = 0;  // characters on the line now
};

}  // namespace barwright::batch
