// photo2panel's picture loading from memory: the allow-list by content, the
// decoders on damaged data, orientation, colour conversion and fitting to a
// small panel; a picture or a refusal, never more pixels than the panel.
#include <vips/vips.h>

#include <cstdlib>
#include <string>

#include "apps/photo2panel/picture.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool started = photo2panel::start_picture_library("fuzz_photo2panel_picture");
    if (!started) std::abort();
    photo2panel::Options options;
    options.width = 24;
    options.height = 16;
    options.max_megapixels = 4;  // a header claiming more is refused before decoding
    photo2panel::RgbPicture picture;
    std::string error;
    std::string warnings;
    if (!photo2panel::load_fitted_picture_from_memory(fuzz::Bytes(data, size), "fuzz", options, picture, error,
                                                      warnings)) {
        if (error.empty()) std::abort();  // every refusal says why
        return FUZZ_RESULT(1);
    }
    if (picture.width != 24 || picture.height != 16 || picture.rgb.size() != 24u * 16u * 3u) std::abort();
    return 0;
}
