#pragma once

namespace barwright::serve {

// The whole program: reads the command line and SOURCE_DATE_EPOCH, reads the
// web page, binds, serves until SIGTERM or SIGINT, then answers the requests
// in flight (for at most --timeout seconds) and returns the exit status.
int runServe(int argc, char* argv[]);

}  // namespace barwright::serve
