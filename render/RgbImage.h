#pragma once

// Part of the public interface; the definition lives with the installed headers.
#include "barwright/RgbImage.h"
