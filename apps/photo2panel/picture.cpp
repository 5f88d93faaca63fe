#include "apps/photo2panel/picture.h"

#include <vips/vips.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace photo2panel {
namespace {

struct ImageUnref {
    void operator()(VipsImage* image) const { g_object_unref(image); }
};
using Image = std::unique_ptr<VipsImage, ImageUnref>;

// The first line of libvips' error buffer, which is then cleared.
std::string library_error(const char* fallback) {
    std::string text = vips_error_buffer();
    vips_error_clear();
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
    if (!vips_image_hasalpha(image.get()) ||
        vips_image_get_interpretation(image.get()) == VIPS_INTERPRETATION_CMYK)
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
    const bool done = apply(image, [&](VipsImage* in, VipsImage** out) {
        return vips_flatten(in, out, "background", background, "max_alpha", max_alpha(in), nullptr);
    }, error);
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
            vips_error_clear();  // a broken profile: convert as if there were none
        }
    }
    if (!apply(image, [](VipsImage* in, VipsImage** out) {
            return vips_colourspace(in, out, VIPS_INTERPRETATION_sRGB, nullptr);
        }, error))
        return false;
    if (!flatten(image, options, error)) return false;  // CMYK alpha, now in sRGB
    if (vips_image_get_format(image.get()) != VIPS_FORMAT_UCHAR &&
        !apply(image, [](VipsImage* in, VipsImage** out) { return vips_cast_uchar(in, out, nullptr); }, error))
        return false;
    if (vips_image_get_bands(image.get()) > 3 &&
        !apply(image, [](VipsImage* in, VipsImage** out) { return vips_extract_band(in, out, 0, "n", 3, nullptr); },
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
    case Rotate::none: return VIPS_ANGLE_D0;
    case Rotate::quarter: return VIPS_ANGLE_D90;
    case Rotate::half: return VIPS_ANGLE_D180;
    case Rotate::three_quarters: return VIPS_ANGLE_D270;
    case Rotate::automatic: break;
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
    return apply(image, [&](VipsImage* in, VipsImage** out) {
        return vips_smartcrop(in, out, width, height, "interesting", interesting, nullptr);
    }, error);
}

// Scales (Lanczos, never nearest neighbour) and crops or pads to the panel.
bool fit(Image& image, const Options& options, std::string& error) {
    const double width = vips_image_get_width(image.get());
    const double height = vips_image_get_height(image.get());
    double hscale = options.width / width;
    double vscale = options.height / height;
    if (options.fit == Fit::cover) hscale = vscale = std::max(hscale, vscale);
    if (options.fit == Fit::contain) hscale = vscale = std::min(hscale, vscale);
    if ((hscale != 1.0 || vscale != 1.0) &&
        !apply(image, [&](VipsImage* in, VipsImage** out) {
            return vips_resize(in, out, hscale, "vscale", vscale, "kernel", VIPS_KERNEL_LANCZOS3, nullptr);
        }, error))
        return false;
    if (options.fit == Fit::cover && options.crop != Crop::centre && !crop_smartly(image, options, error))
        return false;
    const auto& bg = options.background;
    double colour[3] = {double(bg[0]), double(bg[1]), double(bg[2])};
    VipsArrayDouble* background = vips_array_double_new(colour, 3);
    // Centred: a larger picture is cropped, a smaller one padded.
    const bool done = apply(image, [&](VipsImage* in, VipsImage** out) {
        return vips_gravity(in, out, VIPS_COMPASS_DIRECTION_CENTRE, options.width, options.height,
                            "extend", VIPS_EXTEND_BACKGROUND, "background", background, nullptr);
    }, error);
    vips_area_unref(VIPS_AREA(background));
    return done;
}

}  // namespace

bool start_picture_library(const char* program) {
    return VIPS_INIT(program) == 0;
}

bool load_fitted_picture(const std::string& path, const Options& options, RgbPicture& picture,
                         std::string& error) {
    // Opening reads the header only; pixels are decoded when first needed.
    Image image(vips_image_new_from_file(path.c_str(), "fail_on", VIPS_FAIL_ON_ERROR, nullptr));
    if (image == nullptr) {
        error = library_error("not a picture this program can read");
        return false;
    }
    const double megapixels =
        double(vips_image_get_width(image.get())) * vips_image_get_height(image.get()) / 1e6;
    if (megapixels > options.max_megapixels) {
        char text[160];
        std::snprintf(text, sizeof text, "%d x %d pixels is more than %g megapixels (--max-megapixels)",
                      vips_image_get_width(image.get()), vips_image_get_height(image.get()),
                      options.max_megapixels);
        error = text;
        return false;
    }
    if (!apply(image, [](VipsImage* in, VipsImage** out) { return vips_autorot(in, out, nullptr); }, error) ||
        !flatten(image, options, error) || !to_srgb(image, options, error))
        return false;
    const VipsAngle angle =
        turn(options, vips_image_get_width(image.get()), vips_image_get_height(image.get()));
    if (angle != VIPS_ANGLE_D0 &&
        !apply(image, [&](VipsImage* in, VipsImage** out) { return vips_rot(in, out, angle, nullptr); }, error))
        return false;
    if (!fit(image, options, error)) return false;
    std::size_t size = 0;
    void* pixels = vips_image_write_to_memory(image.get(), &size);
    if (pixels == nullptr) {
        error = library_error("cannot decode the picture");
        return false;
    }
    picture.width = vips_image_get_width(image.get());
    picture.height = vips_image_get_height(image.get());
    const auto* bytes = static_cast<const std::uint8_t*>(pixels);
    picture.rgb.assign(bytes, bytes + size);
    g_free(pixels);
    if (picture.rgb.size() != std::size_t(picture.width) * picture.height * 3) {
        error = "unexpected pixel layout";
        return false;
    }
    return true;
}

bool encode_png(const RgbPicture& picture, std::vector<std::uint8_t>& png, std::string& error) {
    Image image(vips_image_new_from_memory(picture.rgb.data(), picture.rgb.size(), picture.width,
                                           picture.height, 3, VIPS_FORMAT_UCHAR));
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
