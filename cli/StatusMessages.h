#pragma once

#include "encoder/Status.h"

namespace barwright {

// The one-line message of a status code; "Error: Unknown error." for codes
// without one. The text is a constant the caller must not free.
const char* statusMessage(Status code);

}  // namespace barwright
