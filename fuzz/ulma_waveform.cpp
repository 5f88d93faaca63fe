// The waveform file reader, then the band search and the band file names
// for temperatures inside and outside every table.
#include "fuzz/fuzz_support.h"
#include "fuzz/ulma_support.h"
#include "ulmarender/program/render_data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchDirectory scratch;
    fuzz::reset_run_settings();
    fuzz::write_file(scratch.path() / "FUZZ.wbf", fuzz::as_text(fuzz::Bytes(data, size)));
    if (!get_temp_data_from_wbf("FUZZ", scratch.path().c_str())) return FUZZ_RESULT(1);
    for (const int temp : {-1000, -128, -1, 0, 1, 25, 127, 1000}) {
        (void)special_get_file_temp("dir", temp);
        (void)special_get_eo_file_temp("dir", temp);
    }
    return 0;
}
