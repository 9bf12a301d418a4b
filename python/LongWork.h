#pragma once

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "options/OutputFormat.h"
#include "options/SymbolOptions.h"

namespace barwright::python {

// Whether a piece of work takes long enough to repay releasing the
// interpreter lock around it. A thread that gives the lock up for less than
// a wake-up mostly finds it taken again by the other when it wants it back,
// and then both spend their time sleeping and waking. Measured on two
// shared cores: released around the 11 us PNG of a seven-digit symbol
// (12,000 pixels), two threads made 1.7 times as many as one; around the
// PNG of a 4,000-pixel symbol, as long but with less painting, from 1.05 to
// 1.76 times as many, and half as many under a real-time scheduling class;
// held, as many as one. So a PNG of a few thousand pixels on (each costs
// zlib's set-up at least), and other work from about 40 us on.
// Encoding the options' data (and splitting it into Macro segments).
bool isLongEncode(const SymbolOptions& options);
// Making the symbol's file in the format.
bool isLongDrawing(const EncodedSymbol& symbol, const PictureSettings& picture,
                   OutputFormat format);
// Painting its RGB pixels alone.
bool isLongPainting(const EncodedSymbol& symbol, const PictureSettings& picture);

}  // namespace barwright::python
