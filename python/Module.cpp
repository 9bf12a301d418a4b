// The native half of the Python module, _barwright.
#include <pybind11/pybind11.h>

#include "barwright/Status.h"
#include "barwright/Version.h"
#include "python/Bindings.h"

namespace py = pybind11;

namespace barwright::python {

py::str messageText(std::string_view text) {
    PyObject* decoded =
        PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "backslashreplace");
    if (decoded == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(decoded);
}

}  // namespace barwright::python

PYBIND11_MODULE(_barwright, module) {
    module.doc() = "barwright's native half; use the barwright package.";
    barwright::python::bindSymbols(module);
    barwright::python::bindRecords(module);
    module.def("status_message",
               [](barwright::Status code) { return std::string(barwright::statusMessage(code)); });
    module.attr("VERSION") = barwright::version();
}
