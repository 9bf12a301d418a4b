#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "batch/RecordTask.h"

namespace barwright::batch {

// The records between the reading thread, the workers and the thread that
// reports them: a window of at most `capacity` records, in input order.
//
//   reader:    submit() each task, then finishInput()
//   workers:   take() a task, work on it alone, complete() it
//   reporter:  oldest() waits for the oldest record's result, release()
//              frees its place
//
// Records are reported strictly in input order whichever worker finishes
// first, and the window bounds the memory however long the input. A task
// whose file is still being written by an earlier record waits until that
// one is reported, so that the later record's picture is the one that stays,
// as in a run on one thread.
class WorkQueue {
public:
    explicit WorkQueue(std::size_t capacity);
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    // Reader: waits for room (and for earlier writers of the task's files),
    // then hands the task on.
    void submit(RecordTask&& task);
    // Reader: no task follows. Workers end when the window is worked off,
    // the reporter when it is reported.
    void finishInput();

    // Worker: waits for a task; false when none will come. The task and its
    // result belong to the caller until complete(ticket).
    [[nodiscard]] bool take(std::uint64_t& ticket, const RecordTask*& task,
                            RecordResult*& result);
    void complete(std::uint64_t ticket);

    // Reporter: waits for the oldest record's result; false when every
    // record has been reported and no more will come.
    [[nodiscard]] bool oldest(const RecordTask*& task, const RecordResult*& result);
    // Reporter: the oldest record is reported; its place is free.
    void release();

    // The records submitted so far.
    std::uint64_t submitted() const;

private:
    struct Slot {
        RecordTask task;
        RecordResult result;
        bool done = false;
    };

    Slot& slotOf(std::uint64_t ticket) { return slots_[ticket % slots_.size()]; }
    bool writesInFlight(const RecordTask& task) const;

    mutable std::mutex mutex_;
    std::condition_variable roomOrRelease_;  // the reader waits here
    std::condition_variable work_;           // workers wait here
    std::condition_variable result_;         // the reporter waits here
    std::vector<Slot> slots_;
    std::uint64_t submitted_ = 0;  // tickets handed out: 0..submitted_ - 1
    std::uint64_t taken_ = 0;
    std::uint64_t released_ = 0;
    bool inputFinished_ = false;
    // The files of the records in the window, for the rule above.
    std::unordered_multiset<std::string> namesInFlight_;
};

}  // namespace barwright::batch
