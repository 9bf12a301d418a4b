#pragma once

#include <cstdint>

namespace barwright {

// The CPUs this process may run on (its affinity mask, or else the CPUs
// online), at least 1 and at most `most`: the default number of workers of
// a front door that runs several.
std::int32_t availableCpuCount(std::int32_t most);

}  // namespace barwright
