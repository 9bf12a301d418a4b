#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

namespace barwright::python {

// The native module's calls, in two groups: barwright.encode's and its
// Symbol's (SymbolBindings.cpp), barwright.dask's (RecordBindings.cpp). They
// take plain values (bytes, option texts, numbers) and return statuses; the
// Python half turns keywords into those values and statuses into exceptions.
void bindSymbols(pybind11::module_& module);
void bindRecords(pybind11::module_& module);

// Text that may hold bytes from the input (a cell, a file name) as a str:
// bytes that are no UTF-8 are shown as \xhh, never refused.
pybind11::str messageText(std::string_view text);

}  // namespace barwright::python
