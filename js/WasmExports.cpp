// The functions that the JavaScript package calls, by these names, on its
// WebAssembly module. Everything else is the library's and WasmJob's.
#include <new>

#include "barwright/Status.h"
#include "js/WasmJob.h"

using barwright::js::SymbolResult;
using barwright::js::Target;
using barwright::js::WasmJob;

extern "C" {

WasmJob* bwJobCreate() { return new (std::nothrow) WasmJob(); }

void bwJobReset(WasmJob* job) { job->reset(); }

char* bwJobInput(WasmJob* job, std::size_t size) { return job->input(size); }

barwright::Status bwJobSetOption(WasmJob* job, std::size_t nameLength) {
    return job->setOption(nameLength);
}

barwright::Status bwJobRun(WasmJob* job, std::int32_t target) {
    if (target < static_cast<std::int32_t>(Target::kModules) ||
        target > static_cast<std::int32_t>(Target::kPdf)) {
        return barwright::status::kInvalidArgument;
    }
    return job->run(static_cast<Target>(target));
}

const char* bwJobBlame(const WasmJob* job) { return job->blame(); }

std::int32_t bwJobSymbolCount(const WasmJob* job) { return job->symbolCount(); }

const SymbolResult* bwJobResult(const WasmJob* job, std::int32_t index) {
    return job->result(index);
}

const char* bwStatusMessage(barwright::Status code) { return barwright::statusMessage(code); }

}  // extern "C"
