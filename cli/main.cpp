#include <csignal>

#include "cli/FrontEnd.h"
#include "files/PendingFile.h"

int main(int argc, char* argv[]) {
    // Under a file-size limit the kernel would kill the program in the middle
    // of writing; ignored, the write fails instead and the run ends with its
    // status and message like any other failed write.
    std::signal(SIGXFSZ, SIG_IGN);
    // A run stopped by one of these removes the temporary file it was writing
    // (where the system has no unnamed files) and then ends by the signal as
    // before. Should a handler be refused, the run works all the same; only
    // that signal could then leave a hidden file behind.
    (void)barwright::PendingFile::removeOnSignals({SIGINT, SIGTERM, SIGHUP});
    return barwright::runBarwright(argc, argv);
}
