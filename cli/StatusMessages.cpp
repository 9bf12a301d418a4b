#include "cli/StatusMessages.h"

namespace barwright {

const char* statusMessage(Status) { return "Error: Unknown error."; }

}  // namespace barwright
