#pragma once

#include <string>

namespace barwright {

// The system's text for an errno value ("No such file or directory"), safe
// on several threads at once; empty for 0.
std::string systemErrorText(int error);

}  // namespace barwright
