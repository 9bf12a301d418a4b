#pragma once

// The whole library in one include: settings, encode (and Macro PDF417
// files), the symbol and its module grid, every picture target, the PNG
// writer, the statuses and the version.

#include "barwright/BitImage.h"
#include "barwright/BitRenderer.h"
#include "barwright/Capacity.h"
#include "barwright/EncodedSymbol.h"
#include "barwright/Encoder.h"
#include "barwright/EpsRenderer.h"
#include "barwright/LabelSheetWriter.h"
#include "barwright/MacroSegments.h"
#include "barwright/MacroSettings.h"
#include "barwright/ModuleGrid.h"
#include "barwright/PdfRenderer.h"
#include "barwright/Picture.h"
#include "barwright/PictureSettings.h"
#include "barwright/PngWriter.h"
#include "barwright/Rect.h"
#include "barwright/RgbImage.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SheetSettings.h"
#include "barwright/Status.h"
#include "barwright/SvgRenderer.h"
#include "barwright/SymbolSettings.h"
#include "barwright/TextRenderer.h"
#include "barwright/Version.h"
