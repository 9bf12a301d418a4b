#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/RunProgram.h"

namespace barwright::test {

// barwright-serve as built, serving on a free port of 127.0.0.1 with the
// given options, in an empty folder of its own (which must stay empty: a
// request never writes a file). Killed if still running at the end.
class Service {
public:
    explicit Service(const std::vector<std::string>& options = {"--quiet"});

    // Whether it answers on port(); the test fails when it did not start.
    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    const std::filesystem::path& folder() const { return folder_.path(); }
    bool hasEnded() const { return program_ && program_->hasEnded(); }
    void sendSignal(int signalNumber) const { program_->sendSignal(signalNumber); }
    // Waits for the end and collects what it wrote.
    ProgramRun finish() { return program_->finish(); }

private:
    TemporaryDirectory folder_;
    std::unique_ptr<RunningProgram> program_;
    int port_ = 0;
};

// A port of 127.0.0.1 that nothing listens on right now.
int freePort();

}  // namespace barwright::test
