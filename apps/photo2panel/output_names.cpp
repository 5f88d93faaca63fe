#include "apps/photo2panel/output_names.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "apps/photo2panel/outputs.h"

namespace photo2panel {
namespace {

namespace fs = std::filesystem;

// The name a folder's panel files take after the picture's, and what such a
// file is, in words.
const char* panel_extension(PanelFormat format) {
    switch (format) {
        case PanelFormat::pgm:
            return ".pgm";
        case PanelFormat::c_array:
            return ".h";
        case PanelFormat::packed4:
        case PanelFormat::packed_indices:
            return ".bin";
        case PanelFormat::native:
        case PanelFormat::bmp:
            break;
    }
    return ".bmp";
}

std::string panel_kind(PanelFormat format) {
    switch (format) {
        case PanelFormat::pgm:
            return "a PGM of panel codes (.pgm)";
        case PanelFormat::c_array:
            return "a C array of the packed codes (.h)";
        case PanelFormat::packed4:
        case PanelFormat::packed_indices:
            return "a packed buffer of the codes (.bin)";
        case PanelFormat::native:
        case PanelFormat::bmp:
            break;
    }
    return "a 24-bit BMP (.bmp)";
}

std::string extension_of(const std::string& path) { return fs::path(path).extension().string(); }

// Whether `path` of `option` names a folder; `error` set when it cannot be
// either.
bool is_folder(const std::string& path, const char* option, bool several, std::string& error) {
    std::error_code ignored;
    if (path.empty() || path == "-") return false;
    if (path.back() == '/' || fs::is_directory(path, ignored)) return true;
    if (several && !extension_of(path).empty())
        error = std::string(option) + " " + path + " names a file, but several pictures need a folder";
    return several;
}

// The format an extension names; nothing for another extension, and for
// ".bin" unless a packed buffer was chosen.
std::optional<PanelFormat> named_format(const std::string& extension, PanelFormat chosen) {
    if (extension == ".bmp") return PanelFormat::bmp;
    if (extension == ".pgm") return PanelFormat::pgm;
    if (extension == ".h") return PanelFormat::c_array;
    if (extension == ".bin" && (chosen == PanelFormat::packed4 || chosen == PanelFormat::packed_indices)) return chosen;
    return std::nullopt;
}

// The panel file's format from its extension, checked against --format
// and the renderer.
std::string settle_panel_format(Options& options) {
    const std::string extension = extension_of(options.output);
    const std::string name = "-o " + options.output;
    PanelFormat format = options.format;
    if (format == PanelFormat::native) format = options.eight_colours ? PanelFormat::pgm : PanelFormat::bmp;
    if (!extension.empty()) {
        const std::optional<PanelFormat> named = named_format(extension, options.format);
        if (options.format == PanelFormat::native && extension == ".bin")
            return name + " names a packed buffer: choose --format packed4 or packed-indices";
        if (!named || (options.format != PanelFormat::native && *named != options.format))
            return name + " would be written as " + panel_kind(format) +
                   ": name it so, or choose what is written with --format";
        format = *named;
    }
    if (format == PanelFormat::bmp && options.eight_colours)
        return name + " names a BMP, but eight colours are written as " + panel_kind(PanelFormat::pgm) +
               " or a packed format";
    if (format == PanelFormat::pgm && !options.eight_colours)
        return name + " names a PGM, but six inks are written as " + panel_kind(PanelFormat::bmp) +
               " or a packed format";
    options.format = format;
    return {};
}

}  // namespace

std::string settle_outputs(Options& options, OutputFolders& folders) {
    const bool several = options.pictures.size() > 1;
    std::string error;
    folders.panel = is_folder(options.output, "-o", several, error);
    folders.preview = error.empty() && is_folder(options.preview, "--preview", several, error);
    folders.fitted = error.empty() && is_folder(options.save_fitted, "--save-fitted", several, error);
    if (!error.empty()) return error;
    if (!folders.panel && options.output != "-") {
        if (std::string problem = settle_panel_format(options); !problem.empty()) return problem;
    } else if (options.format == PanelFormat::native) {
        options.format = options.eight_colours ? PanelFormat::pgm : PanelFormat::bmp;
    }
    if (!options.index_map.empty() && !is_packed(options.format))
        return "--index-map needs a packed format (packed4, packed-indices or c-array)";
    const std::string preview = extension_of(options.preview);
    if (!folders.preview && !preview.empty() && preview != ".png")
        return "--preview " + options.preview + " would be written as a PNG: name it .png";
    const std::string fitted = extension_of(options.save_fitted);
    if (!folders.fitted && !options.save_fitted.empty() && fitted != ".bmp" && fitted != ".ppm")
        return "--save-fitted " + options.save_fitted + " is written as a BMP or a PPM: name it .bmp or .ppm";
    return {};
}

PictureFiles files_of(const Options& options, const std::string& picture, const OutputFolders& folders) {
    const std::string name = stem(picture);
    PictureFiles files{options.output, options.preview, options.save_fitted};
    if (folders.panel) files.panel = in_folder(options.output, name + panel_extension(options.format));
    if (folders.preview) files.preview = in_folder(options.preview, name + ".png");
    if (folders.fitted) files.fitted = in_folder(options.save_fitted, name + (options.eight_colours ? ".ppm" : ".bmp"));
    return files;
}

bool make_output_folders(const Options& options, const OutputFolders& folders, std::string& folder,
                         std::string& error) {
    const std::pair<const std::string*, bool> outputs[] = {
        {&options.output, folders.panel}, {&options.preview, folders.preview}, {&options.save_fitted, folders.fitted}};
    for (const auto& [path, is_folder] : outputs) {
        if (path->empty() || *path == "-") continue;
        folder = is_folder ? *path : fs::path(*path).parent_path().string();
        std::error_code failure;
        if (folder.empty() || fs::is_directory(folder, failure)) continue;
        fs::create_directories(folder, failure);
        if (failure) {
            error = "cannot create the folder: " + failure.message();
            return false;
        }
    }
    return true;
}

}  // namespace photo2panel
