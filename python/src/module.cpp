// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// quadrel._quadrel: the compiled half of the Python package. It turns the
// pages Python hands it into page blocks, runs the analysis with the
// interpreter lock released, and gives back the zone table; the package's
// __init__.py builds the public objects (Layout, Zone, the enums) on it.
#include "library/la_api.h"
#include "python/src/array_packing.h"
#include "python/src/layout_text.h"
#include "python/src/page_block.h"
#include "python/src/page_inputs.h"
#include "python/src/page_layout.h"
#include "quadrel/version.h"
#include "zones/alto_xml.h"
#include "zones/analysis_status.h"
#include "zones/hocr.h"
#include "zones/page_xml.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <optional>
#include <string_view>

namespace py = pybind11;
using namespace py::literals;

namespace quadrel_python {
namespace {

using Pipe = std::optional<std::vector<std::int32_t>>;
using Parameters = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct Request {
    quadrel_cli::LibrarySetup setup;
    FallbackDpi dpi;
};

Request requestOf(const Pipe& pipe, const Parameters& parameters, std::pair<int, int> dpi) {
    quadrel_cli::Options options;
    options.pipe = pipe;
    for (const auto& [id, value] : parameters) options.parameters.push_back({id, value});
    return {quadrel_cli::librarySetupFrom(options), {dpi.first, dpi.second}};
}

PageLayout analysePacked(const PackedPage& packed, const Request& request) {
    const platform::GlobalBlockOwner block = makePageBlock(packed);
    PageLayout layout = analyseBlock(block.get(), request.setup);
    layout.width = packed.width;
    layout.height = packed.height;
    layout.xDpi = packed.xDpi;
    layout.yDpi = packed.yDpi;
    return layout;
}

PageLayout analyseImage(const imaging::TDIB& page, const Request& request) {
    PageLayout layout = analyseBlock(page.GetHandle(), request.setup);
    layout.width = page.Width();
    layout.height = page.Height();
    layout.xDpi = page.XDpi();
    layout.yDpi = page.YDpi();
    return layout;
}

InkRule inkRuleOf(const py::dtype& type) {
    if (type.kind() == 'b') return InkRule::Bool;
    if (type.kind() == 'i' || type.kind() == 'u') switch (type.itemsize()) {
        case 1:
            return InkRule::ZeroIsBlack8;
        case 2:
            return InkRule::ZeroIsBlack16;
        case 4:
            return InkRule::ZeroIsBlack32;
        case 8:
            return InkRule::ZeroIsBlack64;
        }
    throw std::invalid_argument("expected a bool or integer array, got dtype " +
                                py::str(static_cast<const py::handle&>(type)).cast<std::string>());
}

std::int32_t checkedSide(py::ssize_t n) {
    if (n < 1) throw std::invalid_argument("the page must be at least 1 x 1 pixels");
    if (n > INT32_MAX) throw std::invalid_argument("the page is too large");
    return std::int32_t(n);
}

PageLayout analyseArray(const py::array& array, const Pipe& pipe, const Parameters& parameters,
                        std::pair<int, int> dpi) {
    if (array.ndim() != 2)
        throw std::invalid_argument("expected a 2-D array (height, width), got " +
                                    std::to_string(array.ndim()) + " dimensions");
    const InkRule rule = inkRuleOf(array.dtype());
    const PixelArray pixels{static_cast<const std::uint8_t*>(array.data()), array.shape(0),
                            array.shape(1), array.strides(0), array.strides(1)};
    const Request request = requestOf(pipe, parameters, dpi);
    PackedPage packed{
        nullptr,      0, checkedSide(pixels.width), checkedSide(pixels.height), 0, 1, request.dpi.x,
        request.dpi.y};
    py::gil_scoped_release unlocked;
    const std::vector<std::uint8_t> rows = packInk(pixels, rule);
    packed.pixels = rows.data();
    packed.size = rows.size();
    packed.stride = (packed.width + 7) / 8;
    return analysePacked(packed, request);
}

PageLayout analyseRows(const py::buffer& buffer, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::int32_t blackBit, const Pipe& pipe,
                       const Parameters& parameters, std::pair<int, int> dpi) {
    const py::buffer_info info = buffer.request();
    if (info.ndim != 1 || info.strides[0] != 1 || info.itemsize != 1)
        throw std::invalid_argument("packed rows must be a contiguous buffer of bytes");
    const Request request = requestOf(pipe, parameters, dpi);
    const PackedPage packed{static_cast<const std::uint8_t*>(info.ptr),
                            std::size_t(info.size),
                            width,
                            height,
                            stride,
                            blackBit,
                            request.dpi.x,
                            request.dpi.y};
    py::gil_scoped_release unlocked;
    return analysePacked(packed, request);
}

PageLayout analyseGrey(const py::array& array, const Pipe& pipe, const Parameters& parameters,
                       std::pair<int, int> dpi) {
    const bool rgb = array.ndim() == 3 && array.shape(2) == 3;
    if (!(array.ndim() == 2 || rgb) || !array.dtype().is(py::dtype::of<std::uint8_t>()))
        throw std::invalid_argument(
            "binarize=True takes 8-bit grey (height, width) or RGB (height, width, 3) pixels");
    const auto pixels = py::array_t<std::uint8_t, py::array::c_style>::ensure(array);
    const GreyPixels grey{pixels.data(), pixels.shape(0), pixels.shape(1), pixels.strides(0),
                          rgb ? 3 : 1};
    const Request request = requestOf(pipe, parameters, dpi);
    py::gil_scoped_release unlocked;
    return analyseImage(binarizedPage(grey, request.dpi), request);
}

PageLayout analyseFile(const std::string& file, int page, bool binarize, const Pipe& pipe,
                       const Parameters& parameters, std::pair<int, int> dpi) {
    const Request request = requestOf(pipe, parameters, dpi);
    py::gil_scoped_release unlocked;
    return analyseImage(loadFilePage(file, page, binarize, request.dpi), request);
}

int pageCount(const std::string& file) {
    py::gil_scoped_release unlocked;
    return filePageCount(file);
}

// OSError as open() raises it for a missing file or a folder (errno and file
// name set, so FileNotFoundError and IsADirectoryError); any other reason
// names the file in the message.
void raiseFileError(const PageFileError& e) {
    const py::object name =
        py::reinterpret_steal<py::object>(PyUnicode_DecodeFSDefault(e.file().c_str()));
    const py::object osError = py::reinterpret_borrow<py::object>(PyExc_OSError);
    py::object error;
    if (e.error() != 0) {
        error = osError(e.error(), e.what(), name);
    } else {
        error = osError(py::str("cannot read {}: {}").format(name, e.what()));
        error.attr("strerror") = e.what(); // the reason alone, as open() gives it
    }
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
}

py::tuple zoneTuples(const PageLayout& layout) {
    py::tuple zones(layout.zones.size());
    for (std::size_t i = 0; i < layout.zones.size(); ++i) {
        const zones::ZoneRecord& z = layout.zones[i];
        zones[i] = py::make_tuple(z.content, z.left, z.top, z.right, z.bottom);
    }
    return zones;
}

void bindConstants(py::module_& m) {
    m.attr("FUNCTIONS") = py::dict(
        "SKEW"_a = int(LA_FUNCTION_SKEW), "LINES_AND_TABLES"_a = int(LA_FUNCTION_LINES_AND_TABLES),
        "LINE_REMOVAL"_a = int(LA_FUNCTION_LINE_REMOVAL),
        "INVERSE_TEXT"_a = int(LA_FUNCTION_INVERSE_TEXT), "PICTURES"_a = int(LA_FUNCTION_PICTURES),
        "TEXT_BLOCKS"_a = int(LA_FUNCTION_TEXT_BLOCKS));
    m.attr("CONTENTS") = py::dict(
        "LINE"_a = int(LA_CONTENT_LINE), "TABLE"_a = int(LA_CONTENT_TABLE),
        "TABLE_COLUMN"_a = int(LA_CONTENT_TABLE_COLUMN),
        "TABLE_CELL"_a = int(LA_CONTENT_TABLE_CELL),
        "INVERTED_TEXT"_a = int(LA_CONTENT_INVERTED_TEXT), "PICTURE"_a = int(LA_CONTENT_PICTURE),
        "TEXT"_a = int(LA_CONTENT_TEXT), "NOISE"_a = int(LA_CONTENT_NOISE));
    m.attr("PARAMETERS") =
        py::dict("LINES_MIN_SEED_LENGTH"_a = int(LA_PARAM_LINES_MIN_SEED_LENGTH),
                 "LINES_MAX_THICKNESS"_a = int(LA_PARAM_LINES_MAX_THICKNESS),
                 "LINES_DIRECTIONS"_a = int(LA_PARAM_LINES_DIRECTIONS),
                 "REMOVAL_MIN_SEED_LENGTH"_a = int(LA_PARAM_REMOVAL_MIN_SEED_LENGTH),
                 "REMOVAL_MAX_THICKNESS"_a = int(LA_PARAM_REMOVAL_MAX_THICKNESS),
                 "REMOVAL_DIRECTIONS"_a = int(LA_PARAM_REMOVAL_DIRECTIONS),
                 "REMOVAL_RESERVED"_a = int(LA_PARAM_REMOVAL_RESERVED),
                 "INVERSE_MIN_WIDTH"_a = int(LA_PARAM_INVERSE_MIN_WIDTH),
                 "INVERSE_RESERVED"_a = int(LA_PARAM_INVERSE_RESERVED),
                 "NOISE_AND_PICTURES"_a = int(LA_PARAM_NOISE_AND_PICTURES),
                 "PIPE"_a = int(LA_PARAM_PIPE), "SKEW_ANGLE"_a = int(LA_PARAM_SKEW_ANGLE));
    m.attr("STATUS_OK") = int(LA_STATUS_OK);
    m.attr("STATUS_OUT_OF_MEMORY") = int(LA_STATUS_OUT_OF_MEMORY);
}

// Pickled as plain numbers, so that layouts travel between processes.
py::tuple layoutState(const PageLayout& l) {
    std::vector<std::array<std::int32_t, 5>> zones;
    for (const zones::ZoneRecord& z : l.zones)
        zones.push_back({z.content, z.left, z.top, z.right, z.bottom});
    return py::make_tuple(l.status, l.width, l.height, l.xDpi, l.yDpi, l.skewMeasured, l.skew,
                          zones);
}

PageLayout layoutFromState(const py::tuple& t) {
    PageLayout l{
        t[0].cast<std::int32_t>(), t[1].cast<int>(),  t[2].cast<int>(),          t[3].cast<int>(),
        t[4].cast<int>(),          t[5].cast<bool>(), t[6].cast<std::int32_t>(), {}};
    for (const auto& z : t[7].cast<std::vector<std::array<std::int32_t, 5>>>())
        l.zones.push_back({z[1], z[2], z[3], z[4], z[0]});
    return l;
}

// A standard layout format of the page, by the command line's own writer.
template <std::string (*Write)(const zones::LayoutDocument&)>
std::string standardFormat(const PageLayout& layout, const std::string& file, int page) {
    return Write(layoutDocument(file, page, layout));
}

void bindPageLayout(py::module_& m) {
    py::class_<PageLayout>(m, "PageLayout", "The zone table of one analysed page.")
        .def_readonly("status", &PageLayout::status)
        .def_readonly("width", &PageLayout::width)
        .def_readonly("height", &PageLayout::height)
        .def_property_readonly("dpi", [](const PageLayout& l) { return std::pair(l.xDpi, l.yDpi); })
        .def_readonly("skew_measured", &PageLayout::skewMeasured)
        .def_readonly("skew", &PageLayout::skew)
        .def_property_readonly("zones", &zoneTuples)
        .def(
            "to_json",
            [](const PageLayout& l, const std::string& file, int page) {
                return layoutJson(file, page, l);
            },
            "file"_a, "page"_a)
        .def("to_xml", &layoutXml)
        .def("to_page_xml", standardFormat<zones::WritePageXml>, "file"_a, "page"_a)
        .def("to_alto", standardFormat<zones::WriteAltoXml>, "file"_a, "page"_a)
        .def("to_hocr", standardFormat<zones::WriteHocr>, "file"_a, "page"_a)
        .def(py::pickle(&layoutState, &layoutFromState));
}

} // namespace
} // namespace quadrel_python

PYBIND11_MODULE(_quadrel, m) {
    using namespace quadrel_python;
    m.doc() = "Compiled core of the quadrel package; use the functions of quadrel instead.";
    m.attr("__version__") = QUADREL_VERSION;
    // pybind11 takes a plain function of std::exception_ptr by value.
    // NOLINTNEXTLINE(performance-unnecessary-value-param)
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const PageFileError& e) {
            raiseFileError(e);
        }
    });
    bindConstants(m);
    bindPageLayout(m);
    m.def("analyse_array", &analyseArray, "array"_a, "pipe"_a, "params"_a, "dpi"_a);
    m.def("analyse_rows", &analyseRows, "rows"_a, "width"_a, "height"_a, "stride"_a, "black_bit"_a,
          "pipe"_a, "params"_a, "dpi"_a);
    m.def("analyse_grey", &analyseGrey, "array"_a, "pipe"_a, "params"_a, "dpi"_a);
    m.def("analyse_file", &analyseFile, "path"_a, "page"_a, "binarize"_a, "pipe"_a, "params"_a,
          "dpi"_a);
    m.def("page_count", &pageCount, "path"_a);
    m.def("status_reason", &zones::AnalysisStatusReason, "status"_a);
}
