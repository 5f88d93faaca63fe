#include "python/fit_photo.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <mutex>
#include <string>
#include <tuple>

#include "apps/photo2panel/picture.h"
#include "python/docs.h"
#include "python/pictures.h"

namespace py = pybind11;

namespace morva6_python {
namespace {

photo2panel::Fit fit_of(const std::string& fit) {
    if (fit == "cover") return photo2panel::Fit::cover;
    if (fit == "contain") return photo2panel::Fit::contain;
    if (fit == "fill") return photo2panel::Fit::fill;
    throw py::value_error("fit must be 'cover', 'contain' or 'fill', got '" + fit + "'");
}

photo2panel::Crop crop_of(const std::string& crop) {
    if (crop == "centre") return photo2panel::Crop::centre;
    if (crop == "attention") return photo2panel::Crop::attention;
    if (crop == "entropy") return photo2panel::Crop::entropy;
    throw py::value_error("crop must be 'centre', 'attention' or 'entropy', got '" + crop + "'");
}

photo2panel::Rotate rotate_of(const py::object& rotate) {
    if (py::isinstance<py::str>(rotate) && rotate.cast<std::string>() == "auto") return photo2panel::Rotate::automatic;
    if (py::isinstance<py::int_>(rotate)) {
        switch (rotate.cast<int>()) {
            case 0:
                return photo2panel::Rotate::none;
            case 90:
                return photo2panel::Rotate::quarter;
            case 180:
                return photo2panel::Rotate::half;
            case 270:
                return photo2panel::Rotate::three_quarters;
            default:
                break;
        }
    }
    throw py::value_error("rotate must be 'auto', 0, 90, 180 or 270, got " + std::string(py::str(py::repr(rotate))));
}

// A file of the given bytes that is removed again when the holder goes.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string_view bytes) {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/morva6-photo-XXXXXX";
        const int descriptor = mkstemp(path_.data());
        if (descriptor < 0) throw py::value_error("cannot make a temporary file for the picture's bytes");
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = write(descriptor, bytes.data() + done, bytes.size() - done);
            if (wrote <= 0) break;
            done += std::size_t(wrote);
        }
        close(descriptor);
        if (done != bytes.size()) {
            unlink(path_.c_str());
            throw py::value_error("cannot write a temporary file for the picture's bytes");
        }
    }
    ~TemporaryFile() { unlink(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

py::array_t<std::uint8_t> fit_photo(const py::object& source, std::tuple<int, int> size, const std::string& fit,
                                    const py::object& rotate, std::array<int, 3> background, double max_megapixels,
                                    const std::string& crop) {
    photo2panel::Options options;
    std::tie(options.width, options.height) = size;
    if (options.width < 1 || options.height < 1 || options.width > 100000 || options.height > 100000)
        throw py::value_error("size must be (width, height), each 1 to 100000");
    options.fit = fit_of(fit);
    options.crop = crop_of(crop);
    options.rotate = rotate_of(rotate);
    for (std::size_t c = 0; c < 3; ++c) {
        if (background[c] < 0 || background[c] > 255) throw py::value_error("background values must be 0 to 255");
        options.background[c] = std::uint8_t(background[c]);
    }
    if (!(max_megapixels > 0)) throw py::value_error("max_megapixels must be above 0");
    options.max_megapixels = max_megapixels;

    static std::once_flag started;
    static bool library_ready = false;
    std::call_once(started, [] { library_ready = photo2panel::start_picture_library("morva6"); });
    if (!library_ready) throw library_error("cannot start libvips");

    const bool from_bytes = py::isinstance<py::bytes>(source) || py::isinstance<py::bytearray>(source) ||
                            py::isinstance<py::memoryview>(source);
    std::optional<TemporaryFile> temporary;
    std::string path;
    if (from_bytes) {
        const std::string bytes = py::bytes(source).cast<std::string>();
        temporary.emplace(bytes);
        path = temporary->path();
    } else {
        path = path_text(source);
    }
    photo2panel::RgbPicture picture;
    std::string error;
    std::string warnings;  // the decoders' complaints about a picture that was read
    bool loaded;
    {
        py::gil_scoped_release unlocked;
        loaded = photo2panel::load_fitted_picture(path, options, picture, error, warnings);
    }
    if (!loaded) throw py::value_error((from_bytes ? std::string("the picture's bytes") : path) + ": " + error);
    py::array_t<std::uint8_t> rgb({py::ssize_t(picture.height), py::ssize_t(picture.width), py::ssize_t(3)});
    std::copy(picture.rgb.begin(), picture.rgb.end(), rgb.mutable_data());
    return rgb;
}

}  // namespace

void register_fit_photo(py::module_& m) {
    m.def("fit_photo", &fit_photo, docs::kFitPhoto, py::arg("path_or_bytes"),
          py::arg("size") = std::make_tuple(800, 480), py::arg("fit") = "cover", py::arg("rotate") = "auto",
          py::arg("background") = std::array<int, 3>{255, 255, 255}, py::arg("max_megapixels") = 100.0,
          py::arg("crop") = "attention");
}

}  // namespace morva6_python
