#include "files/PendingFile.h"

#include <limits.h>  // PATH_MAX
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "files/SignalHandlers.h"

namespace barwright {

namespace {

// Hidden, and with a fixed stem so that a long output name cannot push the
// temporary name past the file system's limit on one name.
constexpr const char* kStem = ".barwright-";
constexpr int kRandomLetters = 6;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::uint64_t kLetterCount = sizeof kLetters - 1;

#ifdef PATH_MAX
constexpr std::size_t kLongestPath = PATH_MAX;  // with the terminating NUL
#else
constexpr std::size_t kLongestPath = 4096;
#endif

// A slot goes free -> claimed (its owner writes the name) -> registered (the
// file exists; the handler may remove it) -> free again, or -> removing when
// the handler took it, for good: the process is ending then.
enum SlotState : int { kFree, kClaimed, kRegistered, kRemoving };

// Every member has its initialiser, so the registry is initialised at compile
// time and stays in untouched zero pages until a slot is used: a dynamic
// initialiser would touch a page of every slot at start-up, a quarter of a
// megabyte in a program that mostly writes one file.
struct Slot {
    std::atomic<int> state{kFree};
    char path[kLongestPath] = {};  // written only while claimed
};

// The handler may only touch what needs no lock.
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

Slot slots[PendingFile::kCapacity];

// Runs on whichever thread the signal reaches, possibly inside any other
// function of the registry, so it takes each registered file over with one
// atomic step and never waits for anything.
void removeRegisteredFiles(int signalNumber) {
    for (Slot& slot : slots) {
        int expected = kRegistered;
        if (slot.state.compare_exchange_strong(expected, kRemoving, std::memory_order_acquire)) {
            ::unlink(slot.path);
        }
    }
    // The signal is blocked while its handler runs, so the raised one is
    // delivered, with the default action, as soon as the handler returns: the
    // process ends with the status that tells its parent which signal it was.
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

// Names need not be unpredictable, only unlikely to meet: they are made with
// O_EXCL or link, which never take over an existing name, and a taken one is
// retried. Process, time and a counter keep threads and processes apart.
std::uint64_t nextNameNumber() {
    static std::atomic<std::uint64_t> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::uint64_t x = counter.fetch_add(1, std::memory_order_relaxed) * 0x9E3779B97F4A7C15u;
    x ^= static_cast<std::uint64_t>(::getpid()) << 40;
    x ^= static_cast<std::uint64_t>(now.tv_sec) * 1000000007u +
         static_cast<std::uint64_t>(now.tv_nsec);
    // SplitMix64's finaliser spreads every input bit over the letters.
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

}  // namespace

bool PendingFile::removeOnSignals(std::initializer_list<int> signalNumbers) {
    // One clean-up at a time: another of the signals waits until the process
    // ends.
    return installSignalHandler(signalNumbers, removeRegisteredFiles, signalNumbers);
}

void PendingFile::claim(const std::string& folder) {
    path_ = folder;
    if (path_.empty() || path_.back() != '/') {
        path_ += '/';
    }
    path_ += kStem;
    std::uint64_t number = nextNameNumber();
    for (int i = 0; i < kRandomLetters; ++i) {
        path_ += kLetters[number % kLetterCount];
        number /= kLetterCount;
    }

    sigset_t all;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &heldSignals_);
    slot_ = -1;
    if (path_.size() >= kLongestPath) {
        return;  // no file can have such a name anyway
    }
    for (int i = 0; i < kCapacity; ++i) {
        int expected = kFree;
        if (slots[i].state.compare_exchange_strong(expected, kClaimed, std::memory_order_acquire)) {
            std::memcpy(slots[i].path, path_.c_str(), path_.size() + 1);
            slot_ = i;
            return;
        }
    }
}

void PendingFile::publish() {
    if (slot_ >= 0) {
        slots[slot_].state.store(kRegistered, std::memory_order_release);
    }
    ::pthread_sigmask(SIG_SETMASK, &heldSignals_, nullptr);
}

void PendingFile::release() {
    if (slot_ >= 0) {
        slots[slot_].state.store(kFree, std::memory_order_release);
        slot_ = -1;
    }
    path_.clear();
    ::pthread_sigmask(SIG_SETMASK, &heldSignals_, nullptr);
}

void PendingFile::forget() {
    if (slot_ >= 0) {
        // Fails only when a signal handler has taken the slot, and then the
        // process is ending: the slot stays its.
        int expected = kRegistered;
        slots[slot_].state.compare_exchange_strong(expected, kFree, std::memory_order_release);
        slot_ = -1;
    }
    path_.clear();
}

void PendingFile::remove() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
    forget();
}

}  // namespace barwright
