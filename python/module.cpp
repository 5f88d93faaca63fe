// The Python module morva6: the six-ink renderer, its colour tables, the
// packed panel buffers and (with libvips) the photograph fitting of
// photo2panel, on NumPy arrays and Pillow images.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <morva6/morva6.h>
#include <morva6/morva6_pack.h>

#include "common/threads.h"
#include "python/docs.h"
#include "python/eight_colours.h"
#include "python/fit_photo.h"
#include "python/lut.h"
#include "python/pictures.h"

namespace py = pybind11;

namespace morva6_python {
namespace {

void check_range(const char* name, double value, double low, double high) {
    if (!(value >= low && value <= high))
        throw py::value_error(std::string(name) + " must be " + format_number(low) + " to " + format_number(high) +
                              ", got " + format_number(value));
}

void check_status(std::int32_t status, const char* what) {
    if (status == OVEX_OK) return;
    if (status == OVEX_ERR_NO_MEMORY) throw std::bad_alloc();
    throw library_error(std::string(what) + " failed with status " + std::to_string(status));
}

struct SixSettings {
    int dither, mode, tft, hue, saturation, brightness, contrast;
    double gamma;
    bool adjusts() const { return hue != 0 || saturation != 0 || brightness != 0 || contrast != 0 || gamma != 1.0; }
};

// Renders with a TFT transfer: the picture of the mode and the mode-1 codes
// (one pass) are transferred alike, and the indices read from the codes.
// width and height become the transferred size.
void transfer_six(const Lut& lut, const std::uint8_t* input, std::uint8_t* out, std::int32_t& width,
                  std::int32_t& height, const SixSettings& s, std::vector<std::uint8_t>& indices) {
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    std::vector<std::uint8_t> codes, unused;
    if (s.mode == OVEX_MODE_TCON) {
        check_status(Ovex_context_render(&lut.context(), input, 0, out, 0, width, height, s.dither - 1, s.mode),
                     "rendering");
    } else {
        codes.resize(pixels * 3);
        unused.resize(pixels * 3);
        std::uint8_t* aoi = s.mode == OVEX_MODE_AOI ? out : unused.data();
        std::uint8_t* simulation = s.mode == OVEX_MODE_SIMULATION ? out : unused.data();
        check_status(Ovex_context_render_All(&lut.context(), input, 0, codes.data(), aoi, simulation, width, height,
                                             s.dither - 1),
                     "rendering");
        std::int32_t w = width, h = height;
        if (Ovex_TFT_transfer(codes.data(), &w, &h, s.tft) != OVEX_OK)
            throw py::value_error("the TFT format transfer failed");
    }
    if (Ovex_TFT_transfer(out, &width, &height, s.tft) != OVEX_OK)
        throw py::value_error("the TFT format transfer failed");
    indices.resize(std::size_t(width) * std::size_t(height));
    if (morva6_indices_from_codes(codes.empty() ? out : codes.data(), indices.size(), indices.data()) != MORVA6_PACK_OK)
        throw library_error("the renderer wrote a byte that is no ink's code");
}

py::tuple render_six(py::object picture_object, const Lut& lut, int dither, int mode, int tft, int hue, int saturation,
                     int brightness, int contrast, double gamma, std::optional<int> threads) {
    check_range("dither", dither, 1, 6);
    check_range("mode", mode, 1, 3);
    check_range("tft", tft, 0, 5);
    check_range("hue", hue, 0, 360);
    check_range("saturation", saturation, -100, 100);
    check_range("brightness", brightness, -100, 100);
    check_range("contrast", contrast, -100, 100);
    check_range("gamma", gamma, 0.0, 2.0);
    if (threads) check_range("threads", *threads, 1, common::kMaxThreads);
    const SixSettings s{dither, mode, tft, hue, saturation, brightness, contrast, gamma};
    const RgbArray picture = rgb_array(picture_object);
    std::int32_t width = picture.width, height = picture.height;
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    if (std::int64_t(pixels) * 4 > INT32_MAX)
        throw py::value_error("the picture is too large (width x height x 4 must fit 2147483647)");
    py::array_t<std::uint8_t> output({py::ssize_t(height), py::ssize_t(width), py::ssize_t(3)});
    std::uint8_t* out = output.mutable_data();
    // Without a TFT transfer one dithering pass writes the indices and the
    // picture straight into their arrays. The transfer rearranges pixels of
    // three bytes, so the indices then follow it through the mode-1 codes.
    const bool transfers = s.tft != 0;
    py::array_t<std::uint8_t> index_array;
    if (!transfers) index_array = py::array_t<std::uint8_t>({py::ssize_t(height), py::ssize_t(width)});
    std::uint8_t* index_out = transfers ? nullptr : index_array.mutable_data();
    std::vector<std::uint8_t> indices;
    {
        py::gil_scoped_release unlocked;
        const common::ThreadsForThisCaller chosen(threads.value_or(0));
        std::vector<std::uint8_t> adjusted;
        const std::uint8_t* input = picture.data;
        if (s.adjusts()) {
            adjusted.resize(pixels * 3);
            check_status(Ovex_image_adjustment(input, 0, adjusted.data(), 0, width, height, s.hue, s.saturation,
                                               s.brightness, s.contrast, s.gamma),
                         "the image adjustment");
            input = adjusted.data();
        }
        if (!transfers) {
            check_status(Ovex_context_render_indices(&lut.context(), input, 0, index_out, out, 0, width, height,
                                                     s.dither - 1, s.mode),
                         "rendering");
        } else {
            transfer_six(lut, input, out, width, height, s, indices);
        }
    }
    if (transfers) {
        index_array = py::array_t<std::uint8_t>({py::ssize_t(height), py::ssize_t(width)});
        std::copy(indices.begin(), indices.end(), index_array.mutable_data());
    }
    if (width != picture.width || height != picture.height) {
        // The TFT transfer's result occupies the start of the buffer.
        output =
            py::array_t<std::uint8_t>(output.attr("reshape")(-1)[py::slice(0, std::size_t(width) * height * 3, 1)].attr(
                "reshape")(py::make_tuple(height, width, 3)));
    }
    return py::make_tuple(index_array, output);
}

int layout_of(const std::string& format) {
    if (format == "packed4") return MORVA6_PACK_PACKED4;
    if (format == "packed-indices") return MORVA6_PACK_INDICES;
    if (format == "c-array") return MORVA6_PACK_C_ARRAY;
    throw py::value_error("format must be 'packed4', 'packed-indices' or 'c-array', got '" + format + "'");
}

std::vector<std::uint8_t> map_of(const std::optional<std::vector<int>>& index_map) {
    std::vector<std::uint8_t> map;
    if (!index_map) return map;
    for (const int code : *index_map) {
        if (code < 0 || code > 255)
            throw py::value_error("index_map codes must be 0 to 255, got " + std::to_string(code));
        map.push_back(std::uint8_t(code));
    }
    if (map.empty()) throw py::value_error("index_map is empty");
    return map;
}

py::bytes pack(py::object indices_object, const std::string& format, const std::optional<std::vector<int>>& index_map,
               const std::string& name) {
    const int layout = layout_of(format);
    const std::vector<std::uint8_t> map = map_of(index_map);
    const IndexArray indices = index_array(indices_object);
    std::uint8_t* out = nullptr;
    std::size_t size = 0;
    std::int32_t status;
    {
        py::gil_scoped_release unlocked;
        status = morva6_pack(indices.data, indices.width, indices.height, layout, map.empty() ? nullptr : map.data(),
                             std::int32_t(map.size()), name.c_str(), &out, &size);
    }
    if (status != MORVA6_PACK_OK) throw py::value_error(morva6_pack_message(status));
    const std::unique_ptr<std::uint8_t, decltype(&std::free)> block(out, &std::free);
    return py::bytes(reinterpret_cast<const char*>(out), size);
}

py::array_t<std::uint8_t> unpack(const py::bytes& data, int width, int height, const std::string& format,
                                 const std::optional<std::vector<int>>& index_map) {
    const int layout = layout_of(format);
    const std::vector<std::uint8_t> map = map_of(index_map);
    if (width < 1 || height < 1) throw py::value_error(morva6_pack_message(MORVA6_PACK_ERR_SIZE));
    const std::string_view bytes = data;
    py::array_t<std::uint8_t> indices({py::ssize_t(height), py::ssize_t(width)});
    const std::int32_t status =
        morva6_unpack(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), width, height, layout,
                      map.empty() ? nullptr : map.data(), std::int32_t(map.size()), indices.mutable_data());
    if (status != MORVA6_PACK_OK) throw py::value_error(morva6_pack_message(status));
    return indices;
}

}  // namespace
}  // namespace morva6_python

PYBIND11_MODULE(morva6, m) {
    using namespace morva6_python;
    // Every help text starts with its own signature.
    py::options options;
    options.disable_function_signatures();
    m.doc() = docs::kModule;
    register_error(m);
    register_lut(m);
    m.def("render_six", &render_six, docs::kRenderSix, py::arg("picture"), py::arg("lut"), py::arg("dither") = 1,
          py::arg("mode") = 1, py::arg("tft") = 0, py::arg("hue") = 0, py::arg("saturation") = 0,
          py::arg("brightness") = 0, py::arg("contrast") = 0, py::arg("gamma") = 1.0, py::arg("threads") = py::none());
    m.def("pack", &pack, docs::kPack, py::arg("indices"), py::arg("format") = "packed4",
          py::arg("index_map") = py::none(), py::arg("name") = "panel_image");
    m.def("unpack", &unpack, docs::kUnpack, py::arg("data"), py::arg("width"), py::arg("height"),
          py::arg("format") = "packed4", py::arg("index_map") = py::none());
    register_eight_colours(m);
    register_fit_photo(m);
}
