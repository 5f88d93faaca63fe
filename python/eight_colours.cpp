// morva6.RenderData and morva6.render_eight: the eight-colour renderer
// through its C interface.
#include "python/eight_colours.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include <ulma/ulma.h>

#include "common/threads.h"
#include "python/docs.h"
#include "python/pictures.h"

namespace py = pybind11;

namespace morva6_python {
namespace {

// An opened render-data folder; renders only read it, so any number of
// threads render with it at once.
class RenderData {
  public:
    explicit RenderData(const py::object& folder_object) : folder_(path_text(folder_object)) {
        UlmaMessages messages{};
        UlmaRenderData* opened = nullptr;
        std::int32_t status;
        {
            py::gil_scoped_release unlocked;
            status = ulma_open(folder_.c_str(), &opened, &messages);
        }
        if (status == ULMA_ERR_NO_MEMORY) throw std::bad_alloc();
        if (status != ULMA_OK) throw library_error(folder_ + ": " + messages.message);
        data_.reset(opened);
    }
    const UlmaRenderData* get() const { return data_.get(); }
    const std::string& folder() const { return folder_; }

  private:
    struct Close {
        void operator()(UlmaRenderData* data) const { ulma_close(data); }
    };
    std::string folder_;
    std::unique_ptr<UlmaRenderData, Close> data_;
};

py::tuple render_eight(const py::object& picture_object, const RenderData& data, int temperature, double chroma,
                       double brightness, int noise, bool proof, std::optional<std::uint32_t> seed,
                       std::optional<int> threads) {
    if (threads && (*threads < 1 || *threads > common::kMaxThreads))
        throw py::value_error("threads must be 1 to " + std::to_string(common::kMaxThreads) + ", got " +
                              std::to_string(*threads));
    const RgbArray picture = rgb_array(picture_object);
    UlmaSettings settings;
    ulma_default_settings(&settings);
    settings.chroma = chroma;
    settings.lightness = brightness;
    settings.noise_range = noise;
    settings.seed = seed ? *seed : static_cast<std::uint32_t>(std::time(nullptr));
    py::array_t<std::uint8_t> codes({py::ssize_t(picture.height), py::ssize_t(picture.width)});
    py::object proof_array = py::none();
    std::uint8_t* proof_out = nullptr;
    if (proof) {
        py::array_t<std::uint8_t> colours({py::ssize_t(picture.height), py::ssize_t(picture.width), py::ssize_t(3)});
        proof_out = colours.mutable_data();
        proof_array = colours;
    }
    UlmaMessages messages{};
    std::int32_t status;
    std::uint8_t* codes_out = codes.mutable_data();
    {
        py::gil_scoped_release unlocked;
        const common::ThreadsForThisCaller chosen(threads.value_or(0));
        status = ulma_render(data.get(), &settings, picture.data, picture.width, picture.height, temperature, codes_out,
                             proof_out, &messages);
    }
    if (status == ULMA_ERR_NO_MEMORY) throw std::bad_alloc();
    if (status == ULMA_ERR_PICTURE_SIZE) throw py::value_error(messages.message);
    if (status != ULMA_OK) throw library_error(data.folder() + ": " + messages.message);
    if (messages.warnings[0] != '\0' && PyErr_WarnEx(PyExc_RuntimeWarning, messages.warnings, 1) != 0)
        throw py::error_already_set();
    return py::make_tuple(codes, proof_array);
}

}  // namespace

void register_eight_colours(py::module_& m) {
    py::class_<RenderData>(m, "RenderData", docs::kRenderData)
        .def(py::init<const py::object&>(), py::arg("folder"))
        .def_property_readonly("folder", &RenderData::folder, "The folder as it was given.");
    m.def("render_eight", &render_eight, docs::kRenderEight, py::arg("picture"), py::arg("render_data"),
          py::arg("temperature"), py::arg("chroma") = 0.0, py::arg("brightness") = 0.0, py::arg("noise") = 0,
          py::arg("proof") = true, py::arg("seed") = py::none(), py::arg("threads") = py::none());
}

}  // namespace morva6_python
