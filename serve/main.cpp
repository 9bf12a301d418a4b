#include "serve/ServeRun.h"

int main(int argc, char* argv[]) { return barwright::serve::runServe(argc, argv); }
