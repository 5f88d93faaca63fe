// The palette data reader and the CIELAB diffusion of a small fixed picture
// onto the palette it read, with the proof colours.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/ulma_support.h"
#include "ulmarender/engine/error_diffusion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile file(fuzz::Bytes(data, size));
    fuzz::reset_run_settings();
    constexpr int kWidth = 8;
    constexpr int kHeight = 4;
    std::vector<unsigned char> picture(kWidth * kHeight * 3);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<unsigned char>(i * 37);
    std::vector<unsigned char> proof(picture.size());
    std::vector<unsigned char> indices(kWidth * kHeight);
    if (ulma::error_diffusion_cielab(true, kWidth, kHeight, picture.data(), proof.data(), indices.data(),
                                     file.path()) != 0) {
        return FUZZ_RESULT(1);
    }
    for (const unsigned char index : indices) {
        if (index > 7) std::abort();  // the panel code table has eight entries
    }
    return 0;
}
