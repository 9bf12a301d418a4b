#pragma once

// statusMessage belongs to the core library, so that library callers can
// print a failure the way the program does.
#include "barwright/Status.h"
