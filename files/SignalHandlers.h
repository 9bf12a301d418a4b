#pragma once

#include <initializer_list>

namespace barwright {

// Installs handler for each of the signals, with all of blockedWhileRunning
// held back while it runs, and without SA_RESTART: a read that waits for
// input returns with EINTR, so the caller sees what the handler did. A
// signal that is ignored stays ignored (as under nohup). False when a
// handler could not be installed.
[[nodiscard]] bool installSignalHandler(std::initializer_list<int> signalNumbers,
                                        void (*handler)(int),
                                        std::initializer_list<int> blockedWhileRunning);

}  // namespace barwright
