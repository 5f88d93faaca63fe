// The sample driver's whole run on a fuzzed BMP picture: a fixed LUT, the
// picture read as top-first blue-green-red, an optional adjustment, the
// render, an optional TFT transfer, and the BMP written to a scratch file.
// Bytes 0 to 9: dithering method, output mode, TFT mode, adjustment on/off,
// hue (two bytes), saturation, brightness, contrast, gamma; the rest is the
// BMP file.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/holders.h"
#include "fuzz/fuzz_support.h"
#include "morva6/morva6.h"
#include "morva6/morva6_image.h"
#include "morva6/core/tft_transfer.h"

namespace {

using common::FreeDeleter;

using test_support::identity_lut;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> lut = identity_lut();
    static const fuzz::ScratchDirectory scratch;
    static const std::string output_path = (scratch.path() / "out.bmp").string();

    fuzz::Front front(fuzz::Bytes(data, size));
    const std::int32_t dither = front.byte() % 7;  // 6 is no method
    const std::int32_t mode = front.byte() % 5;    // 0 and 4 are no mode
    const std::int32_t tft = front.byte() % 7;     // 0 none, 6 no mode
    const bool adjust = (front.byte() & 1) != 0;
    const std::int32_t hue = static_cast<std::int16_t>(front.byte() | front.byte() << 8);
    const std::int32_t saturation = static_cast<std::int8_t>(front.byte());
    const std::int32_t brightness = static_cast<std::int8_t>(front.byte());
    const std::int32_t contrast = static_cast<std::int8_t>(front.byte());
    const double gamma = static_cast<std::int8_t>(front.byte()) / 50.0;
    const fuzz::Bytes file_bytes = front.rest();
    if (!fuzz::size_is_bounded(fuzz::le32_at(file_bytes, 18), fuzz::le32_at(file_bytes, 22)))
        return FUZZ_RESULT(fuzz::kSkipped);
    const fuzz::MemoryFile file(file_bytes);

    // Other targets of the same process may have installed other tables.
    if (Ovex_Morva6_render_init(lut.data(), static_cast<std::int32_t>(lut.size())) != OVEX_OK) std::abort();

    std::uint8_t* stream = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const int status = readBMP_QW(&stream, &width, &height, file.path(), MORVA6_BGR, 1);
    const std::unique_ptr<std::uint8_t, FreeDeleter> picture(stream);
    if (status != MORVA6_IMG_OK) return FUZZ_RESULT(status);
    if (width < 0 || height < 0 || (picture == nullptr && width > 0 && height > 0)) std::abort();

    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    std::vector<std::uint8_t> output(bytes + 1);
    if (adjust) {
        (void)Ovex_image_adjustment(picture.get(), 1, picture.get(), 1, width, height, hue, saturation, brightness,
                                    contrast, gamma);
    }
    const int rendered = Ovex_Morva6_render(picture.get(), 1, output.data(), 1, width, height, dither, mode);
    if (tft != 0) (void)Ovex_TFT_format_transfer(output.data(), &width, &height, tft);
    const int saved = saveBMP_QW(output.data(), width, height, output_path.c_str(), MORVA6_BGR, 1);
    return FUZZ_RESULT(rendered != 0 ? 100 + rendered : saved);
}
