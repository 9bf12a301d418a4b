#include "options/CpuCount.h"

#include <sched.h>
#include <unistd.h>

namespace barwright {

std::int32_t availableCpuCount(std::int32_t most) {
    long count = 0;
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
        count = CPU_COUNT(&cpus);
    }
    if (count <= 0) {
        count = ::sysconf(_SC_NPROCESSORS_ONLN);
    }
    if (count <= 0) {
        return 1;
    }
    return count < most ? static_cast<std::int32_t>(count) : most;
}

}  // namespace barwright
