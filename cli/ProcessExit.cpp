#include "cli/ProcessExit.h"

#include <cstdlib>

namespace barwright {

namespace {
ExitHook exitHook = nullptr;
}  // namespace

void setExitHook(ExitHook hook) { exitHook = hook; }

void exitProcess(int exitStatus) {
    if (exitHook != nullptr) {
        exitHook(exitStatus);
    }
    std::exit(exitStatus);
}

}  // namespace barwright
