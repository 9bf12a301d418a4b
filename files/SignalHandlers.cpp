#include "files/SignalHandlers.h"

#include <signal.h>

namespace barwright {

bool installSignalHandler(std::initializer_list<int> signalNumbers, void (*handler)(int),
                          std::initializer_list<int> blockedWhileRunning) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : blockedWhileRunning) {
        sigaddset(&action.sa_mask, signalNumber);
    }
    action.sa_flags = 0;  // no SA_RESTART, on purpose
    bool installed = true;
    for (const int signalNumber : signalNumbers) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) != 0) {
            installed = false;
        } else if ((previous.sa_flags & SA_SIGINFO) != 0 || previous.sa_handler != SIG_IGN) {
            installed = ::sigaction(signalNumber, &action, nullptr) == 0 && installed;
        }
    }
    return installed;
}

}  // namespace barwright
