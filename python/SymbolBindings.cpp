// barwright.encode and the pictures of its Symbol.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "barwright/Picture.h"
#include "barwright/RgbImage.h"
#include "options/OutputFormat.h"
#include "options/SymbolFile.h"
#include "python/Bindings.h"
#include "python/LongWork.h"
#include "python/NativeSymbol.h"
#include "python/SymbolRequest.h"

namespace py = pybind11;

namespace barwright::python {
namespace {

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

// (status, reason, list of NativeSymbol).
py::tuple encodeData(std::string data, const OptionTexts& options) {
    SymbolRequest request;
    request.setData(std::move(data));
    std::string reason;
    std::vector<NativeSymbol> symbols;
    Status status = request.apply(options, reason);
    if (status == status::kOk) {
        const ReleaseWhen unlocked(request.isLongWork());
        status = request.encode(symbols, reason);
    }
    py::list list;
    for (NativeSymbol& symbol : symbols) {
        list.append(py::cast(std::move(symbol)));
    }
    return py::make_tuple(status, messageText(reason), list);
}

// The resolution and time of a picture, from its option texts ("dpi",
// "time") as the hallway reads them.
Status outputOptions(const OptionTexts& texts, OutputOptions& output, std::string& reason) {
    SymbolOptions options = bindingDefaults();
    const Status status = applyOptionTexts(texts, options, reason);
    output = options.output;
    return status;
}

// (status, reason, bytes): the symbol's file in the named format.
py::tuple makeFile(const NativeSymbol& symbol, const std::string& formatName,
                   const OptionTexts& texts) {
    static thread_local SymbolFile file;
    std::string reason;
    OutputOptions output;
    Status status = outputOptions(texts, output, reason);
    const std::optional<OutputFormat> format = formatNamed(formatName);
    if (status == status::kOk && !format) {
        reason = "no format " + formatName;
        status = status::kInvalidArgument;
    }
    if (status == status::kOk) {
        const ReleaseWhen unlocked(isLongDrawing(symbol.symbol, symbol.picture, *format));
        status = symbol.makeFile(*format, output, file, reason);
    }
    const std::string_view bytes = status == status::kOk ? file.bytes() : std::string_view();
    py::tuple result = py::make_tuple(status, messageText(reason), py::bytes(bytes));
    // The thread keeps its buffers for the next picture, unless this one
    // left them large.
    file.trim();
    return result;
}

// (status, reason, width, height, bytearray of height x width x 3 bytes).
py::tuple drawPixels(const NativeSymbol& symbol) {
    RgbImage image;
    std::string reason;
    Status status = status::kOk;
    {
        const ReleaseWhen unlocked(isLongPainting(symbol.symbol, symbol.picture));
        status = symbol.drawRgb(image, reason);
    }
    const auto* pixels = reinterpret_cast<const char*>(image.pixels().data());
    return py::make_tuple(status, messageText(reason), image.width(), image.height(),
                          py::bytearray(pixels, image.pixels().size()));
}

// (status, list of bytes, one a row).
py::tuple moduleRows(const NativeSymbol& symbol) {
    ModuleGrid grid;
    const Status status = symbol.modules(grid);
    py::list rows;
    for (std::int32_t y = 0; y < grid.height; ++y) {
        rows.append(py::bytes(reinterpret_cast<const char*>(grid.row(y)),
                              static_cast<std::size_t>(grid.width)));
    }
    return py::make_tuple(status, rows);
}

}  // namespace

void bindSymbols(py::module_& module) {
    py::class_<NativeSymbol>(module, "NativeSymbol")
        .def_property_readonly("columns", [](const NativeSymbol& s) { return s.symbol.columns; })
        .def_property_readonly("rows", [](const NativeSymbol& s) { return s.symbol.rows; })
        .def_property_readonly("error_correction_level",
                               [](const NativeSymbol& s) { return s.symbol.errorCorrectionLevel; })
        .def_property_readonly("compact", [](const NativeSymbol& s) { return s.symbol.compact; })
        .def_property_readonly("data_codewords",
                               [](const NativeSymbol& s) { return s.symbol.dataCodewordCount; })
        .def_property_readonly("data_capacity",
                               [](const NativeSymbol& s) { return s.symbol.dataCapacity; })
        .def_property_readonly("codewords",
                               [](const NativeSymbol& s) { return s.symbol.codewords; })
        .def("modules", &moduleRows)
        .def("file", &makeFile, py::arg("format"), py::arg("options"))
        .def("pixels", &drawPixels);
    module.def("encode", &encodeData, py::arg("data"), py::arg("options"));
    module.def("option_names", [] {
        std::vector<std::string> names;
        for (const OptionEntry& entry : kOptionEntries) {
            names.emplace_back(entry.name);
        }
        return names;
    });
}

}  // namespace barwright::python
