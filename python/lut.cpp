#include "python/lut.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include <morva6/morva6.h>

#include "python/docs.h"
#include "python/pictures.h"
#include "tools/lut_builder/builder_options.h"
#include "tools/lut_builder/run_builder.h"

namespace py = pybind11;

namespace morva6_python {
namespace {

std::vector<std::uint8_t> read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (errno == 0) errno = ENOENT;
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
        throw py::error_already_set();
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw py::value_error("cannot read the LUT file " + path);
    return bytes;
}

std::string lut_size_message(std::size_t size) {
    return "a LUT file must be " + std::to_string(OVEX_LUT_FILE_SIZE) + " bytes long, but it has " +
           std::to_string(size) + " bytes";
}

Lut load_lut(const py::object& path_object) {
    const std::string path = path_text(path_object);
    std::vector<std::uint8_t> bytes = read_file(path);
    if (bytes.size() != OVEX_LUT_FILE_SIZE) throw py::value_error(path + ": " + lut_size_message(bytes.size()));
    return Lut(std::move(bytes));
}

std::string join(const std::vector<double>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text.push_back(',');
        text.append(format_number(values[i]));
    }
    return text;
}

// The LUT builder's own command line for the keyword arguments, so that
// every check and message is the tool's.
std::vector<std::string> builder_words(const std::map<std::string, std::vector<double>>& inks,
                                       const std::map<std::string, py::object>& ink_lab, bool identity,
                                       const std::string& layout, const std::optional<std::string>& palette) {
    std::vector<std::string> words{"-o", "unused", "--layout", layout};
    for (const auto& [name, rgb] : inks) words.insert(words.end(), {"--ink", name + "=" + join(rgb)});
    for (const auto& [name, value] : ink_lab) {
        std::string text;
        if (py::isinstance<py::str>(value)) {
            text = value.cast<std::string>();
        } else {
            text = join(value.cast<std::vector<double>>());
        }
        words.insert(words.end(), {"--ink-lab", name + "=" + text});
    }
    if (palette) words.insert(words.end(), {"--palette-lab", *palette});
    if (identity) words.push_back("--identity");
    return words;
}

py::object build_lut(const std::map<std::string, std::vector<double>>& inks,
                     const std::map<std::string, py::object>& ink_lab, bool identity, const std::string& layout,
                     const std::optional<std::string>& palette) {
    const std::vector<std::string> words = builder_words(inks, ink_lab, identity, layout, palette);
    const std::vector<std::string_view> args(words.begin(), words.end());
    const lut_builder::ParsedOptions parsed = lut_builder::parse_options(args);
    if (!parsed.options) throw py::value_error(parsed.error);
    std::vector<std::uint8_t> bytes;
    std::string error;
    bool built;
    {
        py::gil_scoped_release unlocked;
        built = lut_builder::build_lut_bytes(*parsed.options, bytes, error);
    }
    if (!built) throw py::value_error(error);
    if (layout == "ulma") return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return py::cast(Lut(std::move(bytes)));
}

// The six measured ink colours, red, green, blue (the file stores them
// blue, green, red).
py::array_t<std::uint8_t> inks_of(const Lut& lut) {
    py::array_t<std::uint8_t> inks({6, 3});
    auto view = inks.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < 6; ++i)
        for (py::ssize_t c = 0; c < 3; ++c) view(i, c) = lut.bytes()[std::size_t(i * 3 + 2 - c)];
    return inks;
}

}  // namespace

Lut::Lut(std::vector<std::uint8_t> bytes) {
    if (bytes.size() != OVEX_LUT_FILE_SIZE) throw py::value_error(lut_size_message(bytes.size()));
    bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    if (Ovex_context_init(&context_, bytes_->data(), std::int32_t(bytes_->size())) != OVEX_OK)
        throw py::value_error(lut_size_message(bytes_->size()));
}

void register_lut(py::module_& m) {
    py::class_<Lut>(m, "Lut", docs::kLut)
        .def(py::init([](const py::bytes& data) {
                 const std::string_view view = data;
                 return Lut(std::vector<std::uint8_t>(view.begin(), view.end()));
             }),
             py::arg("data"))
        .def_property_readonly("inks", &inks_of, docs::kLutInks)
        .def("__bytes__",
             [](const Lut& lut) {
                 return py::bytes(reinterpret_cast<const char*>(lut.bytes().data()), lut.bytes().size());
             })
        .def("__len__", [](const Lut& lut) { return lut.bytes().size(); })
        .def("__eq__", [](const Lut& a, const Lut& b) { return a.bytes() == b.bytes(); });
    m.def("load_lut", &load_lut, docs::kLoadLut, py::arg("path"));
    m.def("build_lut", &build_lut, docs::kBuildLut, py::kw_only(),
          py::arg("inks") = std::map<std::string, std::vector<double>>{},
          py::arg("ink_lab") = std::map<std::string, py::object>{}, py::arg("identity") = false,
          py::arg("layout") = "morva6", py::arg("palette") = py::none());
}

}  // namespace morva6_python
