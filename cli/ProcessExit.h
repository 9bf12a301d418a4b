#pragma once

namespace barwright {

// The only place below main that ends the process (after -h and after a bad
// option). An in-process driver such as a fuzzer installs a hook to take
// over instead: the hook must not return (it leaves by throwing or jumping);
// if it does return, the process ends anyway. Null restores the default.
using ExitHook = void (*)(int exitStatus);
void setExitHook(ExitHook hook);

[[noreturn]] void exitProcess(int exitStatus);

}  // namespace barwright
