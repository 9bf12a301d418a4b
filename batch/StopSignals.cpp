#include "batch/StopSignals.h"

#include <pthread.h>
#include <unistd.h>

#include <initializer_list>

#include "files/PendingFile.h"
#include "files/SignalHandlers.h"

namespace barwright::batch {

namespace {

constexpr std::initializer_list<int> kStopSignals = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> caughtSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

// Only the first signal is kept: it is the one the process ends by.
void rememberSignal(int signalNumber) {
    int none = 0;
    caughtSignal.compare_exchange_strong(none, signalNumber, std::memory_order_relaxed);
}

sigset_t stopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signalNumber : kStopSignals) {
        sigaddset(&set, signalNumber);
    }
    return set;
}

}  // namespace

bool StopSignals::catchSignals() {
    return installSignalHandler(kStopSignals, rememberSignal, {});
}

const std::atomic<int>& StopSignals::caught() { return caughtSignal; }

void StopSignals::endOnNextSignal() {
    (void)PendingFile::removeOnSignals(kStopSignals);
}

void StopSignals::endBy(int signalNumber) {
    ::signal(signalNumber, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signalNumber);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signalNumber);
    // Not reached for these signals; should one be held back nonetheless,
    // the status still tells the shell which signal it was.
    ::_exit(128 + signalNumber);
}

StopSignals::StopSignals() {
    const sigset_t set = stopSignalSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

StopSignals::~StopSignals() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace barwright::batch
