#include "batch/WorkQueue.h"

#include <string_view>

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

WorkQueue::WorkQueue(std::size_t capacity) : slots_(capacity > 0 ? capacity : 1) {}

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
    roomOrRelease_.wait(lock, [&] {
        return submitted_ - released_ < slots_.size() && !writesInFlight(task);
    });
    for (const std::string& name : task.names) {
        namesInFlight_.insert(fileKey(name));
    }
    Slot& slot = slotOf(submitted_);
    slot.task = std::move(task);
    slot.result = RecordResult();
    slot.done = false;
    ++submitted_;
    lock.unlock();
    work_.notify_one();
}

void WorkQueue::finishInput() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        inputFinished_ = true;
    }
    work_.notify_all();
    result_.notify_all();
}

bool WorkQueue::take(std::uint64_t& ticket, const RecordTask*& task, RecordResult*& result) {
    std::unique_lock<std::mutex> lock(mutex_);
    work_.wait(lock, [&] { return taken_ < submitted_ || inputFinished_; });
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
    {
        std::lock_guard<std::mutex> lock(mutex_);
        slotOf(ticket).done = true;
    }
    result_.notify_one();
}

bool WorkQueue::oldest(const RecordTask*& task, const RecordResult*& result) {
    std::unique_lock<std::mutex> lock(mutex_);
    result_.wait(lock, [&] {
        return (released_ < submitted_ && slotOf(released_).done) ||
               (inputFinished_ && released_ == submitted_);
    });
    if (released_ == submitted_) {
        return false;
    }
    Slot& slot = slotOf(released_);
    task = &slot.task;
    result = &slot.result;
    return true;
}

void WorkQueue::release() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Slot& slot = slotOf(released_);
        for (const std::string& name : slot.task.names) {
            const auto found = namesInFlight_.find(fileKey(name));
            if (found != namesInFlight_.end()) {
                namesInFlight_.erase(found);
            }
        }
        // The record's data may be large; its place keeps no copy.
        slot.task = RecordTask();
        slot.result = RecordResult();
        slot.done = false;
        ++released_;
    }
    roomOrRelease_.notify_one();
}

std::uint64_t WorkQueue::submitted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return submitted_;
}

}  // namespace barwright::batch
