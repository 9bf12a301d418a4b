#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "options/RecordTask.h"

namespace barwright::batch {

// The records between the reading thread and the workers: a window of at
// most `capacity` records, reported in input order.
//
//   reader:   submit() each task, then finishInput()
//   workers:  take() a task, work on it alone, complete() it
//
// complete() also reports: the worker that finishes the oldest record hands
// it, and every finished record after it, to the report function in input
// order, one worker at a time, whichever worker finished them. A thread
// only waits when it has nothing to do, and the reader, once the window is
// full, until half of it is free: a symbol takes tens of microseconds, and
// waking a thread for every record would cost as much again.
//
// The window bounds the memory however long the input. A task whose file
// is still being written by an earlier record waits until that one is
// reported, so that the later record's picture is the one that stays, as in
// a run on one thread.
class WorkQueue {
public:
    // Called with each record and its result, in input order, by one thread
    // at a time; it may still change the result (a label sheet places the
    // record then).
    using Report = std::function<void(const RecordTask&, RecordResult&)>;

    WorkQueue(std::size_t capacity, Report report);
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    // Reader: waits for room (and for earlier writers of the task's files),
    // then hands the task on.
    void submit(RecordTask&& task);
    // Reader: no task follows. Workers end once the window is worked off.
    void finishInput();

    // Worker: waits for a task; false when none will come. The task and its
    // result belong to the caller until complete(ticket).
    [[nodiscard]] bool take(std::uint64_t& ticket, const RecordTask*& task, RecordResult*& result);
    // Worker: the task is done; reports what is due.
    void complete(std::uint64_t ticket);

private:
    struct Slot {
        RecordTask task;
        RecordResult result;
        bool done = false;
    };

    Slot& slotOf(std::uint64_t ticket) { return slots_[ticket % slots_.size()]; }
    bool writesInFlight(const RecordTask& task) const;
    // With the lock held and this thread the reporter: reports the finished
    // records at the front of the window and frees their places.
    void reportFinished(std::unique_lock<std::mutex>& lock);

    Report report_;
    std::mutex mutex_;
    std::condition_variable room_;  // the reader waits here
    std::condition_variable work_;  // workers wait here
    std::vector<Slot> slots_;
    std::uint64_t submitted_ = 0;  // tickets handed out: 0..submitted_ - 1
    std::uint64_t taken_ = 0;
    std::uint64_t released_ = 0;
    bool inputFinished_ = false;
    bool reporting_ = false;  // a worker is in reportFinished
    // While the reader waits: the most records the window may hold for it
    // to go on, and whether it waits for a file to be released too.
    bool readerWaiting_ = false;
    std::uint64_t readerTarget_ = 0;
    bool readerWaitsForName_ = false;
    int idleWorkers_ = 0;
    // The files of the records in the window, for the rule above.
    std::unordered_multiset<std::string> namesInFlight_;
};

}  // namespace barwright::batch
