#pragma once

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "options/OutputFormat.h"
#include "options/SymbolOptions.h"

namespace barwright::python {

// Whether a piece of work takes long enough to repay releasing the
// interpreter lock around it. A thread that gives the lock up for less than
// a wake-up (tens of microseconds on a virtual machine) mostly finds it taken
// again by the other when it wants it back, and then both spend their time
// sleeping and waking: measured on two cores, released around the 10 us PNG
// of a seven-digit symbol, two threads made half as many symbols as one;
// held, as many; released around the 40 us PNG of 220 characters of text,
// 1.7 times as many. Each bound marks work of about 40 us.

// Encoding the options' data (and splitting it into Macro segments).
bool isLongEncode(const SymbolOptions& options);
// Making the symbol's file in the format.
bool isLongDrawing(const EncodedSymbol& symbol, const PictureSettings& picture,
                   OutputFormat format);
// Painting its RGB pixels alone.
bool isLongPainting(const EncodedSymbol& symbol, const PictureSettings& picture);

}  // namespace barwright::python
