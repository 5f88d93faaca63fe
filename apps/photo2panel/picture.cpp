#include "apps/photo2panel/picture.h"

#include <vips/vips.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string_view>
#include <vector>

#include "common/bounded_read.h"

namespace photo2panel {
namespace {

struct ImageUnref {
    void operator()(VipsImage* image) const { g_object_unref(image); }
};
using Image = std::unique_ptr<VipsImage, ImageUnref>;

// The first line of libvips' error buffer, which is then cleared.
// libvips keeps one error buffer for the whole process, and its decoders
// leave their complaints there. Pictures are decoded side by side (shared);
// a decode that did not end clean is done again alone (exclusive), so that
// what the buffer holds is this picture's, and only then is it cleared.
std::shared_mutex g_decoding;
thread_local bool t_alone = false;

// The lines libvips logs (such as "heifload: ignoring nclx profile") while
// this thread decodes a picture, collected for its warnings instead of
// reaching the terminal unnamed.
thread_local std::string* t_logged = nullptr;

void collect_logged(const gchar*, GLogLevelFlags, const gchar* message, gpointer) {
    if (t_logged == nullptr || message == nullptr) return;
    const std::string line = std::string(message) + "\n";
    if (t_logged->find(line) == std::string::npos) *t_logged += line;
}

// Collects this thread's logged lines into `lines` while it lives.
struct LogCollector {
    explicit LogCollector(std::string& lines) { t_logged = &lines; }
    ~LogCollector() { t_logged = nullptr; }
    LogCollector(const LogCollector&) = delete;
    LogCollector& operator=(const LogCollector&) = delete;
};

void clear_errors() {
    if (t_alone) vips_error_clear();
}

// The first line of libvips' error buffer, which is then cleared (when
// decoding alone).
std::string library_error(const char* fallback) {
    std::string text = vips_error_buffer();
    clear_errors();
    text = text.substr(0, text.find('\n'));
    return text.empty() ? fallback : text;
}

// Runs one libvips operation `step(in, &out)` and replaces `image` with its
// result; false with `error` set when it fails.
template <typename Step>
bool apply(Image& image, Step step, std::string& error) {
    VipsImage* out = nullptr;
    if (step(image.get(), &out) != 0) {
        error = library_error("cannot process the picture");
        return false;
    }
    image.reset(out);
    return true;
}

// The value of full opacity of an alpha band in this image's format.
double max_alpha(const VipsImage* image) {
    const VipsBandFormat format = vips_image_get_format(image);
    return format == VIPS_FORMAT_USHORT || format == VIPS_FORMAT_SHORT ? 65535.0 : 255.0;
}

// Transparency onto the background, in the picture's own scale (8 or 16
// bits, grey or colour), before any conversion can touch the alpha band.
bool flatten(Image& image, const Options& options, std::string& error) {
    if (!vips_image_hasalpha(image.get()) || vips_image_get_interpretation(image.get()) == VIPS_INTERPRETATION_CMYK)
        return true;
    const double scale = max_alpha(image.get()) / 255.0;
    const auto& bg = options.background;
    double colour[3] = {bg[0] * scale, bg[1] * scale, bg[2] * scale};
    int bands = vips_image_get_bands(image.get()) - 1;
    if (bands < 3) {  // grey: the background's grey value
        colour[0] = (0.2126 * bg[0] + 0.7152 * bg[1] + 0.0722 * bg[2]) * scale;
        bands = 1;
    }
    VipsArrayDouble* background = vips_array_double_new(colour, bands);
    const bool done = apply(
        image,
        [&](VipsImage* in, VipsImage** out) {
            return vips_flatten(in, out, "background", background, "max_alpha", max_alpha(in), nullptr);
        },
        error);
    vips_area_unref(VIPS_AREA(background));
    return done;
}

// Everything to three bands of 8-bit sRGB.
bool to_srgb(Image& image, const Options& options, std::string& error) {
    if (vips_image_get_typeof(image.get(), VIPS_META_ICC_NAME) != 0) {
        VipsImage* out = nullptr;
        if (vips_icc_transform(image.get(), &out, "srgb", "embedded", TRUE, "depth", 8, nullptr) == 0) {
            image.reset(out);
        } else {
            clear_errors();  // a broken profile: convert as if there were none
        }
    }
    if (!apply(
            image,
            [](VipsImage* in, VipsImage** out) { return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr); },
            error))
        return false;
    if (!flatten(image, options, error)) return false;  // CMYK alpha, now in sRGB
    if (vips_image_get_format(image.get()) != VIPS_FORMAT_UCHAR &&
        !apply(
            image, [](VipsImage* in, VipsImage** out) { return vips_cast_uchar(in, out, nullptr); }, error))
        return false;
    if (vips_image_get_bands(image.get()) > 3 &&
        !apply(
            image, [](VipsImage* in, VipsImage** out) { return vips_extract_band(in, out, 0, "n", 3, nullptr); },
            error))
        return false;
    if (vips_image_get_bands(image.get()) != 3) {
        error = "cannot convert the picture to RGB";
        return false;
    }
    return true;
}

VipsAngle turn(const Options& options, int width, int height) {
    switch (options.rotate) {
        case Rotate::none:
            return VIPS_ANGLE_D0;
        case Rotate::quarter:
            return VIPS_ANGLE_D90;
        case Rotate::half:
            return VIPS_ANGLE_D180;
        case Rotate::three_quarters:
            return VIPS_ANGLE_D270;
        case Rotate::automatic:
            break;
    }
    const bool portrait_picture = height > width;
    const bool portrait_panel = options.height > options.width;
    const bool square = width == height || options.width == options.height;
    return !square && portrait_picture != portrait_panel ? VIPS_ANGLE_D90 : VIPS_ANGLE_D0;
}

// Cuts the scaled picture down to the panel where it overhangs, keeping the
// part that draws the eye (faces, skin, saturated colour, detail) or the
// busiest part.
bool crop_smartly(Image& image, const Options& options, std::string& error) {
    const int width = std::min(options.width, vips_image_get_width(image.get()));
    const int height = std::min(options.height, vips_image_get_height(image.get()));
    if (width == vips_image_get_width(image.get()) && height == vips_image_get_height(image.get())) return true;
    const VipsInteresting interesting =
        options.crop == Crop::entropy ? VIPS_INTERESTING_ENTROPY : VIPS_INTERESTING_ATTENTION;
    return apply(
        image,
        [&](VipsImage* in, VipsImage** out) {
            return vips_smartcrop(in, out, width, height, "interesting", interesting, nullptr);
        },
        error);
}

// Scales (Lanczos, never nearest neighbour) and crops or pads to the panel.
bool fit(Image& image, const Options& options, std::string& error) {
    const double width = vips_image_get_width(image.get());
    const double height = vips_image_get_height(image.get());
    double hscale = options.width / width;
    double vscale = options.height / height;
    if (options.fit == Fit::cover) hscale = vscale = std::max(hscale, vscale);
    if (options.fit == Fit::contain) hscale = vscale = std::min(hscale, vscale);
    if ((hscale != 1.0 || vscale != 1.0) && !apply(
                                                image,
                                                [&](VipsImage* in, VipsImage** out) {
                                                    return vips_resize(in, out, hscale, "vscale", vscale, "kernel",
                                                                       VIPS_KERNEL_LANCZOS3, nullptr);
                                                },
                                                error))
        return false;
    if (options.fit == Fit::cover && options.crop != Crop::centre && !crop_smartly(image, options, error)) return false;
    const auto& bg = options.background;
    double colour[3] = {double(bg[0]), double(bg[1]), double(bg[2])};
    VipsArrayDouble* background = vips_array_double_new(colour, 3);
    // Centred: a larger picture is cropped, a smaller one padded.
    const bool done = apply(
        image,
        [&](VipsImage* in, VipsImage** out) {
            return vips_gravity(in, out, VIPS_COMPASS_DIRECTION_CENTRE, options.width, options.height, "extend",
                                VIPS_EXTEND_BACKGROUND, "background", background, nullptr);
        },
        error);
    vips_area_unref(VIPS_AREA(background));
    return done;
}

constexpr const char* kUnsupported =
    "not a supported picture format (JPEG, PNG, WebP, TIFF, HEIF/AVIF, GIF, BMP, PPM/PGM/PFM)";

// The allow-list: what a file's first bytes say it is.
enum class PictureFormat { jpeg, png, webp, tiff, heif, gif, bmp, netpbm, unsupported };

bool starts_with(std::span<const std::uint8_t> bytes, std::string_view magic, std::size_t at = 0) {
    return bytes.size() >= at + magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin() + at,
                                                           [](char m, std::uint8_t b) { return std::uint8_t(m) == b; });
}

PictureFormat format_of(std::span<const std::uint8_t> start) {
    using std::string_view_literals::operator""sv;
    if (starts_with(start, "\xFF\xD8\xFF"sv)) return PictureFormat::jpeg;
    if (starts_with(start, "\x89PNG\r\n\x1A\n"sv)) return PictureFormat::png;
    if (starts_with(start, "RIFF"sv) && starts_with(start, "WEBP"sv, 8)) return PictureFormat::webp;
    for (const std::string_view tiff : {"II*\0"sv, "MM\0*"sv, "II+\0"sv, "MM\0+"sv})
        if (starts_with(start, tiff)) return PictureFormat::tiff;
    if (starts_with(start, "ftyp"sv, 4)) {
        for (const std::string_view brand :
             {"heic"sv, "heix"sv, "hevc"sv, "hevx"sv, "heim"sv, "heis"sv, "mif1"sv, "msf1"sv, "avif"sv, "avis"sv})
            if (starts_with(start, brand, 8)) return PictureFormat::heif;
    }
    if (starts_with(start, "GIF87a"sv) || starts_with(start, "GIF89a"sv)) return PictureFormat::gif;
    if (starts_with(start, "BM"sv)) return PictureFormat::bmp;
    if (start.size() >= 2 && start[0] == 'P' &&
        ((start[1] >= '1' && start[1] <= '6') || start[1] == 'F' || start[1] == 'f'))
        return PictureFormat::netpbm;
    return PictureFormat::unsupported;
}

// The libvips loaders each format may go to (a prefix of the class name).
std::vector<std::string_view> loaders_of(PictureFormat format) {
    switch (format) {
        case PictureFormat::jpeg:
            return {"VipsForeignLoadJpeg"};
        case PictureFormat::png:
            return {"VipsForeignLoadPng", "VipsForeignLoadSpng"};
        case PictureFormat::webp:
            return {"VipsForeignLoadWebp"};
        case PictureFormat::tiff:
            return {"VipsForeignLoadTiff"};
        case PictureFormat::heif:
            return {"VipsForeignLoadHeif"};
        case PictureFormat::gif:
            return {"VipsForeignLoadNsgif", "VipsForeignLoadGif"};
        case PictureFormat::bmp:
            return {"VipsForeignLoadMagick"};  // libvips reads BMP through ImageMagick
        case PictureFormat::netpbm:
            return {"VipsForeignLoadPpm"};
        case PictureFormat::unsupported:
            break;
    }
    return {};
}

bool allowed(const char* loader, PictureFormat format) {
    if (loader == nullptr) return false;
    const std::string_view name = loader;
    for (const std::string_view prefix : loaders_of(format))
        if (name.starts_with(prefix)) return true;
    return false;
}

// Opens the picture in `bytes` (which must outlive the image) with the
// loader its content asks for, when that loader is on the allow-list; no
// options are ever taken from a name. A truncated file, or a header that
// promises more than the file holds, fails the load unless damaged
// pictures are accepted. Pixels are decoded into memory, never into a
// temporary file that a full disk or a killed run would leave behind.
VipsImage* open_picture(std::span<const std::uint8_t> bytes, bool accept_damaged, std::string& error) {
    const PictureFormat format = format_of(bytes.first(std::min(bytes.size(), common::kStartBytes)));
    const VipsFailOn fail_on = accept_damaged ? VIPS_FAIL_ON_NONE : VIPS_FAIL_ON_TRUNCATED;
    VipsImage* image = nullptr;
    const char* loader = nullptr;
    if (format == PictureFormat::bmp) {
        // ImageMagick has no streaming loader in libvips: the buffer one.
        loader = vips_foreign_find_load_buffer(bytes.data(), bytes.size());
        if (allowed(loader, format))
            image =
                vips_image_new_from_buffer(bytes.data(), bytes.size(), "", "fail_on", fail_on, "memory", TRUE, nullptr);
    } else if (format != PictureFormat::unsupported) {
        VipsSource* source = vips_source_new_from_memory(bytes.data(), bytes.size());
        if (source != nullptr) {
            loader = vips_foreign_find_load_source(source);
            if (allowed(loader, format))
                image = vips_image_new_from_source(source, "", "fail_on", fail_on, "memory", TRUE, nullptr);
            g_object_unref(source);
        }
    }
    if (image == nullptr) {
        error = loader != nullptr && allowed(loader, format) ? library_error("not a picture this program can read")
                                                             : kUnsupported;
        clear_errors();
    }
    return image;
}

// Whether a decoder's complaints say the data ended before the picture did.
bool damaged(std::string_view complaints) {
    std::string lower(complaints);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string_view sign :
         {"premature end", "truncat", "unexpected end", "end of file", "short read", "not enough data", "out of data"})
        if (lower.find(sign) != std::string::npos) return true;
    return false;
}

// The largest picture file read: room for --max-megapixels of 16-bit RGBA
// left uncompressed, and never less than 64 MiB.
std::size_t picture_file_limit(const Options& options) {
    const double bytes = options.max_megapixels * 1e6 * 8 + double(std::size_t{16} << 20);
    return static_cast<std::size_t>(std::clamp(bytes, double(std::size_t{64} << 20), double(std::size_t{1} << 34)));
}

}  // namespace

bool start_picture_library(const char* program) {
    if (VIPS_INIT(program) != 0) return false;
    // The decoders' complaints are taken from the error buffer and what
    // libvips logs is collected, both reported with the picture's name.
    g_log_set_handler("VIPS", GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE), collect_logged, nullptr);
    return true;
}

bool load_fitted_picture(const std::string& path, const Options& options, RgbPicture& picture, std::string& error,
                         std::string& warnings) {
    // Read once, whole and within a bound: a pipe or standard input the
    // same way as a file; a stream that does not start like a picture is
    // refused at once, not at the limit.
    const common::StartCheck starts_like_a_picture = [](std::span<const std::uint8_t> start) {
        return format_of(start) == PictureFormat::unsupported ? std::string(kUnsupported) : std::string();
    };
    const std::size_t limit = picture_file_limit(options);
    const auto bytes = path == "-"
                           ? common::read_bounded_descriptor(STDIN_FILENO, path, limit, error, starts_like_a_picture)
                           : common::read_bounded(path, limit, error, common::Streams::allowed, starts_like_a_picture);
    if (!bytes) {
        // The reason without the file's name, which the caller puts in front.
        if (error.starts_with(path + ": ")) error.erase(0, path.size() + 2);
        return false;
    }
    return load_fitted_picture_from_memory(*bytes, path, options, picture, error, warnings);
}

namespace {

enum class Pass { clean, complained, failed };

// Stops the computation of `image` once the decoders complain of data that
// ended too early, so that a small file claiming a huge picture costs
// little time.
void watch_for_damage(VipsImage* image) {
    vips_image_set_progress(image, TRUE);
    g_signal_connect(image, "eval", G_CALLBACK(+[](VipsImage* computed, VipsProgress*, void*) {
                         if (damaged(vips_error_buffer())) vips_image_set_kill(computed, TRUE);
                     }),
                     nullptr);
}

// One decode of the picture into `picture`; `complaints` receives what the
// decoders left in the error buffer.
Pass decode_pass(std::span<const std::uint8_t> bytes, const Options& options, RgbPicture& picture, std::string& error,
                 std::string& complaints) {
    clear_errors();
    // Opening reads the header only; pixels are decoded when first needed.
    Image image(open_picture(bytes, options.accept_damaged, error));
    if (image == nullptr) return Pass::failed;
    if (!options.accept_damaged) watch_for_damage(image.get());
    const double megapixels = double(vips_image_get_width(image.get())) * vips_image_get_height(image.get()) / 1e6;
    if (megapixels > options.max_megapixels) {
        char text[160];
        std::snprintf(text, sizeof text, "%d x %d pixels is more than %g megapixels (--max-megapixels)",
                      vips_image_get_width(image.get()), vips_image_get_height(image.get()), options.max_megapixels);
        error = text;
        return Pass::failed;
    }
    if (!apply(
            image, [](VipsImage* in, VipsImage** out) { return vips_autorot(in, out, nullptr); }, error) ||
        !flatten(image, options, error) || !to_srgb(image, options, error))
        return Pass::failed;
    const VipsAngle angle = turn(options, vips_image_get_width(image.get()), vips_image_get_height(image.get()));
    if (angle != VIPS_ANGLE_D0 &&
        !apply(
            image, [&](VipsImage* in, VipsImage** out) { return vips_rot(in, out, angle, nullptr); }, error))
        return Pass::failed;
    if (!fit(image, options, error)) return Pass::failed;
    // A decoder that meets the end of the data too early only complains and
    // goes on with grey: the pass is stopped at the first such complaint.
    if (!options.accept_damaged) watch_for_damage(image.get());
    std::size_t size = 0;
    void* pixels = vips_image_write_to_memory(image.get(), &size);
    complaints = vips_error_buffer();
    if (pixels == nullptr) {
        error = library_error("cannot decode the picture");
        return Pass::failed;
    }
    picture.width = vips_image_get_width(image.get());
    picture.height = vips_image_get_height(image.get());
    const auto* decoded = static_cast<const std::uint8_t*>(pixels);
    picture.rgb.assign(decoded, decoded + size);
    g_free(pixels);
    if (picture.rgb.size() != std::size_t(picture.width) * picture.height * 3) {
        error = "unexpected pixel layout";
        return Pass::failed;
    }
    return complaints.empty() ? Pass::clean : Pass::complained;
}

}  // namespace

bool load_fitted_picture_from_memory(std::span<const std::uint8_t> bytes, const std::string& name,
                                     const Options& options, RgbPicture& picture, std::string& error,
                                     std::string& warnings) {
    (void)name;
    std::string complaints;
    std::string logged;
    const LogCollector collecting(logged);
    Pass pass;
    {
        const std::shared_lock side_by_side(g_decoding);
        pass = decode_pass(bytes, options, picture, error, complaints);
    }
    if (pass != Pass::clean) {
        const std::unique_lock alone(g_decoding);
        t_alone = true;
        error.clear();
        pass = decode_pass(bytes, options, picture, error, complaints);
        vips_error_clear();
        t_alone = false;
    }
    // A step before the pixels are written out, such as the fitting, may
    // meet the decoder's complaint first: it is then the error itself.
    const std::string& said = damaged(complaints) || pass != Pass::failed ? complaints : error;
    if (!options.accept_damaged && damaged(said)) {
        error = "damaged or truncated picture (" + said.substr(0, said.find('\n')) +
                "); --accept-damaged renders it anyway";
        return false;
    }
    if (pass == Pass::failed) return false;
    // What the decoders said of a picture that was read: warnings, one a line.
    complaints += logged;
    for (std::size_t at = 0, lines = 0; at < complaints.size() && lines < 20; ++lines) {
        const std::size_t end = std::min(complaints.find('\n', at), complaints.size());
        if (end > at) warnings += complaints.substr(at, end - at) + "\n";
        at = end + 1;
    }
    return true;
}

bool encode_png(const RgbPicture& picture, std::vector<std::uint8_t>& png, std::string& error) {
    Image image(vips_image_new_from_memory(picture.rgb.data(), picture.rgb.size(), picture.width, picture.height, 3,
                                           VIPS_FORMAT_UCHAR));
    if (image == nullptr) {
        error = library_error("cannot make the preview");
        return false;
    }
    void* buffer = nullptr;
    std::size_t size = 0;
    if (vips_image_write_to_buffer(image.get(), ".png", &buffer, &size, nullptr) != 0) {
        error = library_error("cannot encode the preview");
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    png.assign(bytes, bytes + size);
    g_free(buffer);
    return true;
}

}  // namespace photo2panel
