// Sample driver of the six-ink rendering library: one run turns one 24-bit
// BMP picture into a picture for the panel, timing each library step.
//
// Exit status: 0 after a complete run; 255 (-1) after an argument error or
// the help or version text; 1 when the LUT file cannot be read or installed,
// the input picture cannot be read or is too large, memory runs out, or the
// output picture cannot be written.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/guarded_main.h"
#include "common/holders.h"
#include "common/output_set.h"
#include "morva6/morva6.h"
#include "morva6/morva6_image.h"
#include "morva6/core/huge_pages.h"
#include "morva6/core/picture_size.h"
#include "morva6/sample/arguments.h"
#include "morva6/sample/file_reader.h"
#include "morva6/sample/settings.h"
#include "morva6/sample/stopwatch.h"
#include "morva6/core/tft_transfer.h"

namespace {

// Blocks handed out by the file reader and the image layer are malloc'd.
using common::MallocBlock;

constexpr int kFailure = 1;

bool adjustmentIsNeutral() { return HUE == 0 && SATURATION == 0 && BRIGHTNESS == 0 && CONTRAST == 0 && GAMMA == 1.0; }

}  // namespace

static int run_main(int argc, char* argv[]) {
    std::puts("Morva6 rendering library sample");
    if (processArguments(argc, argv) != 0) return -1;
    // The output must not replace the picture or the LUT file it is made from.
    const std::string inputs[] = {INPUT_IMAGE_PATH, LUT_PATH};
    const std::string outputs[] = {OUTPUT_IMAGE_PATH};
    if (const std::string clash = common::find_clash(inputs, outputs); !clash.empty()) {
        std::printf("ERROR: %s\n", clash.c_str());
        return kFailure;
    }

    // The library keeps pointing into the LUT block, so it lives until the
    // end of the run.
    std::uint8_t* lutBlock = nullptr;
    std::int32_t lutSize = 0;
    if (readBinaryFile_QW(LUT_PATH, &lutBlock, &lutSize) != 0) return kFailure;
    const MallocBlock lut(lutBlock);

    countTimeInterval_QW();
    const std::int32_t initStatus = Ovex_Morva6_render_init(lut.get(), lutSize);
    const double initCost = countTimeInterval_QW();
    if (initStatus != OVEX_OK) {
        std::printf("ERROR: The LUT file %s must be %d bytes long, but it has %d bytes.\n", LUT_PATH,
                    OVEX_LUT_FILE_SIZE, lutSize);
        return kFailure;
    }
    std::printf("Ovex_Marva6_render_init cost: %lf ms\n", initCost);

    std::uint8_t* pictureBlock = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const int readStatus = readBMP_QW(&pictureBlock, &width, &height, INPUT_IMAGE_PATH, MORVA6_BGR, 1);
    const MallocBlock picture(pictureBlock);
    if (readStatus != MORVA6_IMG_OK) {
        std::printf("ERROR: Failed to read input image %s\n", INPUT_IMAGE_PATH);
        return kFailure;
    }
    // Every byte count below is width x height x 3; refuse what would not fit.
    if (!morva6::picture_fits(width, height)) {
        std::printf("ERROR: The input image %s is too large (%d x %d pixels).\n", INPUT_IMAGE_PATH, width, height);
        return kFailure;
    }
    if (width <= 0 || height <= 0) {
        std::printf("ERROR: The input image %s holds no pixels (%d x %d).\n", INPUT_IMAGE_PATH, width, height);
        return kFailure;
    }
    const std::size_t pictureBytes = morva6::picture_bytes(width, height, 3);
    if (picture == nullptr && pictureBytes != 0) {
        std::printf("ERROR: Failed to read input image %s\n", INPUT_IMAGE_PATH);
        return kFailure;
    }

    // Zero-filled, so that a failed render step saves a defined picture.
    const MallocBlock output(static_cast<std::uint8_t*>(std::calloc(pictureBytes + 1, 1)));
    if (output == nullptr) {
        std::puts("ERROR: Not enough memory for the output image.");
        return kFailure;
    }
    morva6::advise_huge_pages(output.get(), pictureBytes);

    if (adjustmentIsNeutral()) {
        std::puts("Skip image adjustment.");
    } else {
        countTimeInterval_QW();
        const std::int32_t status = Ovex_image_adjustment(picture.get(), 1, picture.get(), 1, width, height, HUE,
                                                          SATURATION, BRIGHTNESS, CONTRAST, GAMMA);
        const double cost = countTimeInterval_QW();
        if (status == OVEX_OK) std::printf("Ovex_image_adjustment cost: %lf ms\n", cost);
    }

    countTimeInterval_QW();
    const std::int32_t renderStatus =
        Ovex_Morva6_render(picture.get(), 1, output.get(), 1, width, height, DITHER, MODE);
    const double renderCost = countTimeInterval_QW();
    if (renderStatus == OVEX_OK) std::printf("Ovex_Marva6_render cost: %lf ms\n", renderCost);

    if (TFT_mode != 0) {
        countTimeInterval_QW();
        const std::int32_t status = Ovex_TFT_format_transfer(output.get(), &width, &height, TFT_mode);
        const double cost = countTimeInterval_QW();
        if (status == OVEX_OK) std::printf("Ovex_TFT_format_transfer cost: %lf ms\n", cost);
    } else {
        std::puts("No TFT format transfer.");
    }

    // A TFT transfer halves one side: a picture of one row or one column
    // would come out with no pixels at all.
    if (width <= 0 || height <= 0) {
        std::printf("ERROR: The TFT format transfer leaves no pixels (%d x %d); output image %s not written.\n", width,
                    height, OUTPUT_IMAGE_PATH);
        return kFailure;
    }
    if (saveBMP_QW(output.get(), width, height, OUTPUT_IMAGE_PATH, MORVA6_BGR, 1) != MORVA6_IMG_OK) {
        std::printf("ERROR: Failed to write output image %s\n", OUTPUT_IMAGE_PATH);
        return kFailure;
    }
    return 0;
}

int main(int argc, char* argv[]) {
    return common::run_guarded("Morva6_render", [&] { return run_main(argc, argv); });
}
