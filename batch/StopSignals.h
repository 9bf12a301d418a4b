#pragma once

#include <signal.h>

#include <atomic>

namespace barwright::batch {

// SIGINT, SIGTERM and SIGHUP: the signals that ask a run to stop. The first
// one only sets a flag, so that the run can finish the records in flight,
// report and leave no temporary file; after that, a second one ends the
// process at once through PendingFile's clean-up.
class StopSignals {
public:
    // Installs the flag-setting handler for each signal that is not ignored
    // (one ignored at the start, as under nohup, stays ignored). No
    // SA_RESTART: a read that waits for input returns with EINTR, so the
    // reading thread sees the flag. False when a handler could not be set.
    [[nodiscard]] static bool catchSignals();
    // 0, or the first stop signal that arrived.
    static const std::atomic<int>& caught();
    // After the first signal: from now on one of the signals removes the
    // registered temporary files and ends the process by that signal.
    static void endOnNextSignal();
    // Ends the process by the signal, as its default action does.
    [[noreturn]] static void endBy(int signalNumber);

    // While an object lives, the stop signals wait in the calling thread;
    // threads started meanwhile keep them blocked for good, so that only the
    // reading thread runs the handler.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    sigset_t previous_{};
};

}  // namespace barwright::batch
