// Pictures and index arrays handed in from Python, checked and viewed in
// place (copied only when they are not one C-ordered block of bytes).
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

namespace morva6_python {

// Library failures other than bad arguments: morva6.Error.
struct LibraryError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
inline LibraryError library_error(const std::string& message) { return LibraryError(message); }
void register_error(pybind11::module_& m);

// A str or os.PathLike as a file-system path.
std::string path_text(const pybind11::object& path);

// "12" for whole numbers, "1.5" otherwise.
std::string format_number(double value);

// A height x width x 3 array of uint8, red, green, blue.
struct RgbArray {
    pybind11::array_t<std::uint8_t> array;  // keeps the pixels alive
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
};

// A NumPy array (H x W x 3, uint8) or a Pillow image (converted to RGB).
// TypeError for another type or dtype, ValueError for another shape.
RgbArray rgb_array(pybind11::object picture);

// A height x width array of uint8.
struct IndexArray {
    pybind11::array_t<std::uint8_t> array;
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
};
IndexArray index_array(pybind11::object indices);

}  // namespace morva6_python
