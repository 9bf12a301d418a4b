#include "cli/FrontEnd.h"

int main(int argc, char* argv[]) { return barwright::runBarwright(argc, argv); }
