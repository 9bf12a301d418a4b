#include <csignal>

#include "batch/BatchRun.h"

int main(int argc, char* argv[]) {
    // Under a file-size limit the kernel would kill the program in the middle
    // of writing; ignored, the write fails instead, and the record fails with
    // its status and the system's reason like any other failed write.
    std::signal(SIGXFSZ, SIG_IGN);
    return barwright::batch::runBatch(argc, argv);
}
