// The native half of the Python module: barwright's settings, encoder and
// pictures behind a few calls that take plain values (bytes, text, numbers)
// and hand back statuses. The Python half (barwright/__init__.py) turns
// keywords into those values and statuses into exceptions.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "barwright/MacroSettings.h"
#include "barwright/OutputFile.h"
#include "barwright/Status.h"
#include "python/NativeSymbol.h"
#include "python/SymbolRequest.h"

#ifndef BARWRIGHT_VERSION
#error "BARWRIGHT_VERSION must be defined (the project version, from CMake)"
#endif

namespace py = pybind11;

namespace barwright::python {
namespace {

using OptionTexts = std::vector<std::pair<std::string, std::string>>;

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
        py::gil_scoped_release unlocked;
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
        py::gil_scoped_release unlocked;
        status = symbol.draw(format, dpi, time, bytes);
    }
    return py::make_tuple(status, py::bytes(bytes));
}

// (status, width, height, bytearray of height x width x 3 bytes).
py::tuple drawPixels(const NativeSymbol& symbol) {
    RgbImage image;
    Status status = status::kOk;
    {
        py::gil_scoped_release unlocked;
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
