#include <csignal>

#include "cli/FrontEnd.h"

int main(int argc, char* argv[]) {
    // Under a file-size limit the kernel would kill the program in the middle
    // of writing; ignored, the write fails instead and the run ends with its
    // status and message like any other failed write.
    std::signal(SIGXFSZ, SIG_IGN);
    return barwright::runBarwright(argc, argv);
}
