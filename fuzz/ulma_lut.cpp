// color_enhance with a LUT file from the input. Byte 0: bit 0 repeats the
// LUT bytes up to a whole table, bit 1 turns the saturation and lightness
// offsets of bytes 3 and 4 on (only version 0302 uses them); bytes 1 and 2 give the picture
// size (1 to 8 each); then the picture, then the LUT file.
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/ulma_support.h"
#include "ulmarender/engine/colour_enhance.h"
#include "ulmarender/engine/colour_lut.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Front front(fuzz::Bytes(data, size));
    fuzz::reset_run_settings();
    const std::uint8_t flags = front.byte();
    const int width = 1 + front.byte() % 8;
    const int height = 1 + front.byte() % 8;
    gPreprocess = (flags >> 1) & 1;
    gSat_offset = static_cast<std::int8_t>(front.byte());
    gLight_offset = static_cast<std::int8_t>(front.byte());
    std::vector<unsigned char> picture(static_cast<std::size_t>(width * height * 3));
    const fuzz::Bytes pixels = front.take(picture.size());
    std::copy(pixels.begin(), pixels.end(), picture.begin());

    std::string lut(fuzz::as_text(front.rest()));
    if ((flags & 1) != 0 && !lut.empty()) {
        while (lut.size() < ulma::kLutFileSize)
            lut.append(lut, 0, std::min(lut.size(), ulma::kLutFileSize - lut.size()));
    }
    const fuzz::MemoryFile file(fuzz::Bytes(reinterpret_cast<const std::uint8_t*>(lut.data()), lut.size()));
    std::vector<unsigned char> enhanced(picture.size());
    (void)ulma::color_enhance(settings_of_run(ULMA_FUZZ_VERSION, 1), width, height, picture.data(), enhanced.data(),
                              file.path());
    return 0;
}
