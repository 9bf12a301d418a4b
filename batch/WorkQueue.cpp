#include "batch/WorkQueue.h"

#include <string_view>
#include <utility>

namespace barwright::batch {

namespace {

// The name with "." components and repeated slashes left out, so that
// "out//a.png" and "./out/a.png" are seen as the file "out/a.png" is.
// Links are not followed: names that differ otherwise are other files.
std::string fileKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    if (!name.empty() && name.front() == '/') {
        key.push_back('/');
    }
    while (!name.empty()) {
        const std::size_t slash = name.find('/');
        const std::string_view part = name.substr(0, slash);
        if (!part.empty() && part != ".") {
            if (!key.empty() && key.back() != '/') {
                key.push_back('/');
            }
            key.append(part);
        }
        name.remove_prefix(slash == std::string_view::npos ? name.size() : slash + 1);
    }
    return key;
}

}  // namespace

WorkQueue::WorkQueue(std::size_t capacity, Report report)
    : report_(std::move(report)), slots_(capacity > 1 ? capacity : 2) {}

bool WorkQueue::writesInFlight(const RecordTask& task) const {
    for (const std::string& name : task.names) {
        if (namesInFlight_.count(fileKey(name)) != 0) {
            return true;
        }
    }
    return false;
}

void WorkQueue::submit(RecordTask&& task) {
    std::unique_lock<std::mutex> lock(mutex_);
    // A full window waits until half of it is free, so that the reader is
    // woken once for many records.
    std::uint64_t mostInWindow = slots_.size() - 1;
    if (submitted_ - released_ > mostInWindow) {
        mostInWindow = slots_.size() / 2;
    }
    for (;;) {
        const bool full = submitted_ - released_ > mostInWindow;
        const bool nameBusy = !full && writesInFlight(task);
        if (!full && !nameBusy) {
            break;
        }
        readerWaiting_ = true;
        readerTarget_ = mostInWindow;
        readerWaitsForName_ = nameBusy;
        room_.wait(lock);
        readerWaiting_ = false;
    }
    for (const std::string& name : task.names) {
        namesInFlight_.insert(fileKey(name));
    }
    Slot& slot = slotOf(submitted_);
    slot.task = std::move(task);
    slot.done = false;
    ++submitted_;
    if (idleWorkers_ > 0) {
        work_.notify_one();
    }
}

void WorkQueue::finishInput() {
    std::lock_guard<std::mutex> lock(mutex_);
    inputFinished_ = true;
    work_.notify_all();
}

bool WorkQueue::take(std::uint64_t& ticket, const RecordTask*& task, RecordResult*& result) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (taken_ == submitted_ && !inputFinished_) {
        ++idleWorkers_;
        work_.wait(lock);
        --idleWorkers_;
    }
    if (taken_ == submitted_) {
        return false;
    }
    ticket = taken_++;
    Slot& slot = slotOf(ticket);
    task = &slot.task;
    result = &slot.result;
    return true;
}

void WorkQueue::complete(std::uint64_t ticket) {
    std::unique_lock<std::mutex> lock(mutex_);
    slotOf(ticket).done = true;
    if (!reporting_ && released_ < submitted_ && slotOf(released_).done) {
        reporting_ = true;
        reportFinished(lock);
        reporting_ = false;
    }
}

void WorkQueue::reportFinished(std::unique_lock<std::mutex>& lock) {
    // The finished records at the front belong to this thread until
    // released_ passes them: the reader fills no place before that, and
    // every other worker has let go of them.
    while (released_ < submitted_ && slotOf(released_).done) {
        std::uint64_t end = released_;
        while (end < submitted_ && slotOf(end).done) {
            ++end;
        }
        lock.unlock();
        std::vector<std::string> names;
        for (std::uint64_t ticket = released_; ticket < end; ++ticket) {
            Slot& slot = slotOf(ticket);
            report_(slot.task, slot.result);
            for (std::string& name : slot.task.names) {
                names.push_back(fileKey(name));
            }
            // The record's data may be large; its place keeps no copy.
            slot.task = RecordTask();
            slot.result = RecordResult();
        }
        lock.lock();
        for (const std::string& name : names) {
            const auto found = namesInFlight_.find(name);
            if (found != namesInFlight_.end()) {
                namesInFlight_.erase(found);
            }
        }
        for (std::uint64_t ticket = released_; ticket < end; ++ticket) {
            slotOf(ticket).done = false;
        }
        released_ = end;
        if (readerWaiting_ &&
            (readerWaitsForName_ || submitted_ - released_ <= readerTarget_)) {
            room_.notify_one();
        }
    }
}

}  // namespace barwright::batch
