// Speed of the BMP layer on a 3840 x 2160 picture: writing and reading a
// 24-bit file as the sample driver does (stream format BGR, top row first),
// and the record-level read and save. The file lives in the system's
// temporary directory, so the figures include the page cache, not a disk.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <morva6/morva6_image.h>

#include "morva6/bench_support.h"

namespace {

using namespace morva6_bench;

std::string bench_file(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/" + name;
}

const std::string& saved_picture() {
    static const std::string path = [] {
        std::string p = bench_file("morva6_bench_read.bmp");
        saveBMP_QW(picture().data(), kWidth, kHeight, p.c_str(), MORVA6_BGR, 1);
        return p;
    }();
    return path;
}

void BM_SaveBmp(benchmark::State& state) {
    const std::string path = bench_file("morva6_bench_save.bmp");
    const auto& input = picture();
    for (auto _ : state) {
        if (saveBMP_QW(input.data(), kWidth, kHeight, path.c_str(), MORVA6_BGR, 1) != MORVA6_IMG_OK)
            state.SkipWithError("save failed");
    }
    std::remove(path.c_str());
    count_pixels(state);
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same to /dev/null, which is written directly: the library's own cost
// without the file system's.
void BM_SaveBmpToDevNull(benchmark::State& state) {
    const auto& input = picture();
    for (auto _ : state) {
        if (saveBMP_QW(input.data(), kWidth, kHeight, "/dev/null", MORVA6_BGR, 1) != MORVA6_IMG_OK)
            state.SkipWithError("save failed");
    }
    count_pixels(state);
}
BENCHMARK(BM_SaveBmpToDevNull)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadBmp(benchmark::State& state) {
    const std::string& path = saved_picture();
    for (auto _ : state) {
        std::uint8_t* stream = nullptr;
        std::int32_t width = 0, height = 0;
        if (readBMP_QW(&stream, &width, &height, path.c_str(), MORVA6_BGR, 1) != MORVA6_IMG_OK)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(stream);
        std::free(stream);
    }
    count_pixels(state);
}
BENCHMARK(BM_ReadBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RecordReadAndSave(benchmark::State& state) {
    const std::string& path = saved_picture();
    const std::string out = bench_file("morva6_bench_record.bmp");
    for (auto _ : state) {
        BMP record = new_BMP();
        if (BMP_read(&record, path.c_str()) != MORVA6_IMG_OK || BMP_save(&record, out.c_str()) != MORVA6_IMG_OK)
            state.SkipWithError("record read or save failed");
        BMP_release(&record);
    }
    std::remove(out.c_str());
    count_pixels(state);
}
BENCHMARK(BM_RecordReadAndSave)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
