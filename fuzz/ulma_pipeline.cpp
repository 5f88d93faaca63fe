// The renderer's whole pipeline on a fuzzed input picture, with a fixed
// render-data directory. Byte 0: bit 0 asks for the proof image, bit 1
// turns on saturation and lightness offsets (only version 0302 uses them); the rest is the
// PPM file.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "fuzz/ulma_support.h"
#include "ulmarender/program/pipeline.h"
#include "ulmarender/program/ppm_files.h"
#include "ulmarender/program/render_data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchDirectory scratch;
    static const std::string lot_dir = fuzz::make_render_data(scratch.path()).string();
    static const std::string output = (scratch.path() / "out.pgm").string();

    fuzz::Front front(fuzz::Bytes(data, size));
    const std::uint8_t flags = front.byte();
    const fuzz::MemoryFile file(front.rest());
    {
        std::FILE* picture = std::fopen(file.path(), "rb");
        PpmHeader header;
        const bool bounded =
            read_ppm_header(picture, header) != PpmProblem::none || fuzz::size_is_bounded(header.width, header.height);
        std::fclose(picture);
        if (!bounded) return 0;
    }

    fuzz::reset_run_settings();
    gProof = flags & 1;
    gPreprocess = (flags >> 1) & 1;
    gSat_offset = 30;
    gLight_offset = -20;
    if (!open_render_data_of_run(lot_dir.c_str())) {
        std::abort();  // the fixed render-data directory is always readable
    }
    (void)my_ulma_render(ULMA_FUZZ_VERSION, file.path(), output.c_str(), lot_dir.c_str(), 25);
    return 0;
}
