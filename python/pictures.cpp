#include "python/pictures.h"

#include <cmath>
#include <cstdio>

namespace py = pybind11;

namespace morva6_python {
namespace {

// A NumPy array of uint8 in one C-ordered block; other arrays are refused
// by type, not converted, so a float picture is not silently truncated.
// A Pillow image becomes RGB for a picture, or its own bytes (mode "L" or
// "P") for indices.
py::array_t<std::uint8_t> byte_array(py::object object, const char* what, bool rgb) {
    if (!py::isinstance<py::array>(object) && py::hasattr(object, "convert") && py::hasattr(object, "mode"))
        object = py::module_::import("numpy").attr("asarray")(rgb ? object.attr("convert")("RGB") : object);
    if (!py::isinstance<py::array>(object))
        throw py::type_error(std::string(what) + " must be a NumPy array of uint8 or a Pillow image, got " +
                             std::string(py::str(py::type::of(object).attr("__name__"))));
    const py::array array = py::reinterpret_borrow<py::array>(object);
    if (!array.dtype().is(py::dtype::of<std::uint8_t>()))
        throw py::type_error(std::string(what) + " must have dtype uint8, got " + std::string(py::str(array.dtype())));
    return py::array_t<std::uint8_t, py::array::c_style>::ensure(array);
}

int side(py::ssize_t length, const char* what) {
    if (length < 1 || length > INT32_MAX) throw py::value_error(std::string(what) + " must be 1 to 2147483647 pixels");
    return int(length);
}

}  // namespace

void register_error(py::module_& m) { py::register_exception<LibraryError>(m, "Error", PyExc_RuntimeError); }

std::string path_text(const py::object& path) {
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

std::string format_number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value == std::floor(value) ? "%.0f" : "%g", value);
    return text;
}

RgbArray rgb_array(py::object picture) {
    RgbArray rgb{byte_array(picture, "picture", true), nullptr, 0, 0};
    if (rgb.array.ndim() != 3 || rgb.array.shape(2) != 3)
        throw py::value_error("picture must be an array of height x width x 3 (red, green, blue), got shape " +
                              std::string(py::str(picture.attr("shape"))));
    rgb.height = side(rgb.array.shape(0), "the picture's height");
    rgb.width = side(rgb.array.shape(1), "the picture's width");
    rgb.data = rgb.array.data();
    return rgb;
}

IndexArray index_array(py::object indices) {
    IndexArray index{byte_array(indices, "indices", false), nullptr, 0, 0};
    if (index.array.ndim() != 2)
        throw py::value_error("indices must be an array of height x width, got shape " +
                              std::string(py::str(indices.attr("shape"))));
    index.height = side(index.array.shape(0), "the height");
    index.width = side(index.array.shape(1), "the width");
    index.data = index.array.data();
    return index;
}

}  // namespace morva6_python
