// The native half of the Python module: barwright's settings, encoder and
// pictures behind a few calls that take plain values (bytes, text, numbers)
// and hand back statuses. The Python half (barwright/__init__.py) turns
// keywords into those values and statuses into exceptions.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "barwright/MacroSettings.h"
#include "barwright/Picture.h"
#include "barwright/Status.h"
#include "files/OutputFile.h"
#include "python/NativeSymbol.h"
#include "python/SymbolRequest.h"

#ifndef BARWRIGHT_VERSION
#error "BARWRIGHT_VERSION must be defined (the project version, from CMake)"
#endif

namespace py = pybind11;

namespace barwright::python {
namespace {

using OptionTexts = std::vector<std::pair<std::string, std::string>>;

// The interpreter lock is released only around work long enough to repay
// handing it over. A thread that gives it up for less than a wake-up (tens of
// microseconds on a virtual machine) mostly finds it taken again by the other
// when it wants it back, and then both spend their time sleeping and waking:
// measured on two cores, released around the 10 us PNG of a seven-digit
// symbol, two threads made half as many symbols as one; held, as many;
// released around the 40 us PNG of 220 characters of text, 1.7 times as
// many. The bounds below mark work of about 40 us.
constexpr std::size_t kLongDataBytes = 600;          // automatic or forced compaction
constexpr std::size_t kLongShortestBytes = 160;      // the fewest codewords
constexpr std::int64_t kLongBitPixels = 50000;       // png1: painting and zlib's fastest level
constexpr std::int64_t kLongRgbPixels = 4000;        // png: zlib's level 6 on 24 bits a pixel
constexpr std::int64_t kLongPaintedPixels = 200000;  // the RGB pixels alone
constexpr std::size_t kLongVectorCodewords = 600;    // SVG, EPS, text

bool longEncode(const SymbolRequest& request) {
    return request.macroSegments > 0 || request.data.size() >= kLongDataBytes ||
           (request.shortest && request.data.size() >= kLongShortestBytes);
}

// The picture's pixels; 0 when the settings make none (drawing then fails
// at once).
std::int64_t pixelsOf(const NativeSymbol& symbol) {
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (imageSize(symbol.symbol, symbol.picture, width, height) != status::kOk) {
        return 0;
    }
    return std::int64_t{width} * height;
}

bool longDraw(const NativeSymbol& symbol, const std::string& format) {
    if (format == "png") {
        return pixelsOf(symbol) >= kLongRgbPixels;
    }
    if (format == "png1") {
        return pixelsOf(symbol) >= kLongBitPixels;
    }
    return symbol.symbol.codewords.size() >= kLongVectorCodewords;
}

// Holds the interpreter lock released for its lifetime when the work is long.
class ReleaseWhen {
public:
    explicit ReleaseWhen(bool longWork) {
        if (longWork) {
            released_.emplace();
        }
    }

private:
    std::optional<py::gil_scoped_release> released_;
};

// Free memory that the C library keeps at the top of its heaps rather than
// giving back: more than a picture's zlib state and buffers.
constexpr int kKeptHeapBytes = 8 * 1024 * 1024;

// (status, index of the refused option or -1, symbols).
py::tuple encodeRequest(std::string data, std::int32_t eci, bool escapes, bool shortest,
                        OptionTexts options, std::int32_t macroSegments, std::string fileId) {
    SymbolRequest request;
    request.data = std::move(data);
    request.eci = eci;
    request.escapes = escapes;
    request.shortest = shortest;
    request.options = std::move(options);
    request.macroSegments = macroSegments;
    request.fileId = std::move(fileId);
    std::vector<NativeSymbol> symbols;
    std::int32_t refused = -1;
    Status status = status::kOk;
    {
        const ReleaseWhen unlocked(longEncode(request));
        status = makeSymbols(request, symbols, refused);
    }
    py::list list;
    for (NativeSymbol& symbol : symbols) {
        list.append(py::cast(std::move(symbol)));
    }
    return py::make_tuple(status, refused, list);
}

// (status, bytes).
py::tuple drawPicture(const NativeSymbol& symbol, const std::string& format, std::int32_t dpi,
                      std::int64_t time) {
    std::string bytes;
    Status status = status::kOk;
    {
        const ReleaseWhen unlocked(longDraw(symbol, format));
        status = symbol.draw(format, dpi, time, bytes);
    }
    return py::make_tuple(status, py::bytes(bytes));
}

// (status, width, height, bytearray of height x width x 3 bytes).
py::tuple drawPixels(const NativeSymbol& symbol) {
    RgbImage image;
    Status status = status::kOk;
    {
        const ReleaseWhen unlocked(pixelsOf(symbol) >= kLongPaintedPixels);
        status = symbol.drawRgb(image);
    }
    const auto* pixels = reinterpret_cast<const char*>(image.pixels().data());
    return py::make_tuple(status, image.width(), image.height(),
                          py::bytearray(pixels, image.pixels().size()));
}

// (status, list of bytes, one a row).
py::tuple moduleRows(const NativeSymbol& symbol) {
    std::vector<std::string> rows;
    const Status status = symbol.modules(rows);
    py::list list;
    for (const std::string& row : rows) {
        list.append(py::bytes(row));
    }
    return py::make_tuple(status, list);
}

// (status, errno): the file written as barwright-batch writes its files,
// taking its name only once complete (kCantOpenOutput, kCantCloseOutput).
py::tuple writeFile(const std::string& name, const py::bytes& data) {
    const std::string_view bytes = data;
    Status status = status::kOk;
    int error = 0;
    {
        py::gil_scoped_release unlocked;
        OutputFile file;
        status = file.open(name.c_str());
        if (status == status::kOk) {
            errno = 0;
            if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
                // Not committed: an existing file keeps its bytes.
                status = status::kCantCloseOutput;
                error = errno != 0 ? errno : EIO;
            } else {
                status = file.commit();
            }
        }
        if (status != status::kOk && error == 0) {
            error = file.error();
        }
    }
    return py::make_tuple(status, error);
}

std::vector<std::uint16_t> codewordsOf(const NativeSymbol& symbol) {
    return symbol.symbol.codewords;
}

}  // namespace
}  // namespace barwright::python

PYBIND11_MODULE(_barwright, module) {
    using namespace barwright::python;
#ifdef __GLIBC__
    // Every PNG sets up zlib's state afresh, several hundred kilobytes freed
    // again at its end. Left to glibc's default, the top of the heap goes
    // back to the system after each picture and is faulted in again by the
    // next (and with several threads each return costs every core a TLB
    // flush): a quarter of a mid-sized symbol's time on one thread, more on
    // two. Kept, it is reused. barwright-batch does the same.
    (void)mallopt(M_TRIM_THRESHOLD, kKeptHeapBytes);
#endif
    module.doc() = "barwright's native half; use the barwright package.";
    py::class_<NativeSymbol>(module, "NativeSymbol")
        .def_property_readonly("columns", [](const NativeSymbol& s) { return s.symbol.columns; })
        .def_property_readonly("rows", [](const NativeSymbol& s) { return s.symbol.rows; })
        .def_property_readonly("error_correction_level",
                               [](const NativeSymbol& s) { return s.symbol.errorCorrectionLevel; })
        .def_property_readonly("compact", [](const NativeSymbol& s) { return s.symbol.compact; })
        .def_property_readonly("codewords", &codewordsOf)
        .def("modules", &moduleRows)
        .def("draw", &drawPicture, py::arg("format"), py::arg("dpi"), py::arg("time"))
        .def("pixels", &drawPixels);
    module.def("encode", &encodeRequest, py::arg("data"), py::arg("eci"), py::arg("escapes"),
               py::arg("shortest"), py::arg("options"), py::arg("macro_segments"),
               py::arg("file_id"));
    module.def("status_message",
               [](barwright::Status code) { return std::string(barwright::statusMessage(code)); });
    module.def("option_names", &optionNames);
    module.def("refused_option", &refusedOption);
    module.def("write_file", &writeFile, py::arg("name"), py::arg("data"));
    module.attr("VERSION") = BARWRIGHT_VERSION;
    module.attr("NO_TIME") = kNoTime;
    module.attr("NO_ECI") = kNoEci;
    module.attr("MAX_DPI") = barwright::kMaxDpi;
    module.attr("MAX_MACRO_SEGMENTS") = barwright::kMaxMacroSegments;
}
