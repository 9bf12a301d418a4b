#pragma once

#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/ModuleGrid.h"
#include "barwright/PictureSettings.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"
#include "options/OutputFormat.h"
#include "options/SymbolFile.h"
#include "options/SymbolOptions.h"

namespace barwright::python {

// What barwright.Symbol holds: one encoded symbol and the picture options it
// was encoded with. Its calls take no Python object, so that the caller may
// release the interpreter lock around them.
struct NativeSymbol {
    EncodedSymbol symbol;
    PictureSettings picture;

    // Makes the symbol's file in the format into `file` (the hallway's one
    // routine, so the bytes are those of every other front door), with the
    // resolution and time of `output`. SymbolFile's statuses; the reason of
    // a picture refused goes into reason.
    [[nodiscard]] Status makeFile(OutputFormat format, const OutputOptions& output,
                                  SymbolFile& file, std::string& reason) const;

    // The picture as 24-bit RGB pixels, those of the png format.
    [[nodiscard]] Status drawRgb(RgbImage& image, std::string& reason) const;

    // The module grid (see ModuleGrid).
    [[nodiscard]] Status modules(ModuleGrid& grid) const { return moduleGrid(symbol, grid); }
};

}  // namespace barwright::python
