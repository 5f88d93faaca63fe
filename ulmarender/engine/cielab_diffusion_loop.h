// The per-pixel work of the CIELAB error diffusion: the gamut clip, the
// palette search, the shares and the scan over the picture. This header is
// compiled once per instruction-set build of the colour functions (see
// colour_isa.h); error_diffusion.cpp picks the build at run time.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "common/row_progress.h"
#include "common/threads.h"
#include "ulmarender/engine/colour_conversions.h"
#include "ulmarender/engine/error_diffusion.h"

namespace ulma {

inline namespace ULMA_COLOUR_ISA {

// Channel of the gamut clip: 255 at or above 255, 0 at or below 0.
inline double clamp_channel(double value) {
    if (value >= 255) value = 255;
    if (value <= 0) value = 0;
    return value;
}

// Tables of the per-pixel conversions, made on first use (the power tables
// they come from are ready only once static initialisation is over).
struct ConversionTables {
    // The gamut clip of a linear channel value c > 0.0031308, as a linear
    // value x 100 (companded by xyz2rgb, clamped to [0, 255], linearised by
    // rgb2xyz): it depends on the companding entry k = trunc(255 c) alone.
    std::array<double, 256> clipped_by_entry;
    double clipped_white;  // from 256/255 on the channel clamps to 255
    // rgb2xyz's linear value x 100 of every 8-bit channel value.
    std::array<double, 256> linear_100_of_byte;
};

inline const ConversionTables& conversion_tables() {
    static const ConversionTables tables = [] {
        ConversionTables t{};
        for (int k = 0; k < 256; ++k) {
            t.clipped_by_entry[k] = channel_to_linear_100(
                clamp_channel((common::srgb::kScale * fast_val_2[k] - common::srgb::kOffset) * 255));
            t.linear_100_of_byte[k] = channel_to_linear_100(k);
        }
        t.clipped_white = channel_to_linear_100(255);
        return t;
    }();
    return tables;
}

inline double clipped_linear_100(const ConversionTables& t, double c) {
    if (c > common::srgb::kEncodeThreshold) {
        const double scaled = c * 255;
        return scaled < 256.0 ? t.clipped_by_entry[static_cast<int>(scaled)] : t.clipped_white;
    }
    return channel_to_linear_100(clamp_channel((common::srgb::kLinearSlope * c) * 255));
}

// rgb2xyz then xyz2lab of an 8-bit colour, the channels looked up.
inline Lab lab_of_channels(const ConversionTables& t, unsigned char r, unsigned char g, unsigned char b) {
    const double R = t.linear_100_of_byte[r];
    const double G = t.linear_100_of_byte[g];
    const double B = t.linear_100_of_byte[b];
    const double x = (R * 0.4124 + G * 0.3576) + B * 0.1805;
    const double y = (R * 0.2126 + G * 0.7152) + B * 0.0722;
    const double z = (R * 0.0193 + G * 0.1192) + B * 0.9505;
    Lab lab;
    xyz2lab(lab.l, lab.a, lab.b, x, y, z);
    return lab;
}

// Runs once per pixel: always inlined into the scan.
[[gnu::always_inline]] inline Lab clip_to_gamut(const ConversionTables& t, Lab colour) {
    double x, y, z;
    lab2xyz(x, y, z, colour.l, colour.a, colour.b);
    const double X = x / 100;
    const double Y = y / 100;
    const double Z = z / 100;
    const double R = clipped_linear_100(t, (X * 3.2406 + Y * (-1.5372)) + Z * (-0.4986));
    const double G = clipped_linear_100(t, (X * (-0.9689) + Y * 1.8758) + Z * 0.0415);
    const double B = clipped_linear_100(t, (X * 0.0557 + Y * (-0.2040)) + Z * 1.0570);
    x = (R * 0.4124 + G * 0.3576) + B * 0.1805;
    y = (R * 0.2126 + G * 0.7152) + B * 0.0722;
    z = (R * 0.0193 + G * 0.1192) + B * 0.9505;
    Lab clipped;
    xyz2lab(clipped.l, clipped.a, clipped.b, x, y, z);
    return clipped;
}

// Whether the later of two entries' d2 is the scan's choice between them:
// it is no greater, or the earlier is NaN (and it is not).
inline bool later_wins(double earlier, double later) { return !(earlier < later) && later == later; }

[[gnu::always_inline]] inline int nearest_entry(const DiffusionPalette& palette, Lab colour) {
    // The truncated distance trunc(sqrt(d2)) grows with d2, so the least one
    // is that of the least d2. The winner is the highest entry with that
    // truncated distance: the highest entry of the least d2 itself, unless an
    // entry above it has d2 < (least + 1)^2 and the same truncated square
    // root, which only near-ties need to check.
    std::array<double, kPaletteSize> d2;
    for (int n = 0; n < kPaletteSize; ++n) {
        const double dl = colour.l - palette.l[n];
        const double da = colour.a - palette.search_a[n];
        const double db = colour.b - palette.search_b[n];
        d2[n] = (dl * dl + da * da) + db * db;
    }
    // The least d2 and its highest entry (NaN never wins; none but NaN: 0
    // and infinity), as a scan from entry 0 keeping d2[n] <= least finds
    // them, but in three rounds of pairs instead of a chain of eight.
    std::array<double, kPaletteSize / 2> pair_d2;
    std::array<int, kPaletteSize / 2> pair_n;
    for (int k = 0; k < kPaletteSize / 2; ++k) {
        const bool upper = later_wins(d2[2 * k], d2[2 * k + 1]);
        pair_d2[k] = upper ? d2[2 * k + 1] : d2[2 * k];
        pair_n[k] = upper ? 2 * k + 1 : 2 * k;
    }
    for (int k = 0; k < kPaletteSize / 4; ++k) {
        const bool upper = later_wins(pair_d2[2 * k], pair_d2[2 * k + 1]);
        pair_d2[k] = upper ? pair_d2[2 * k + 1] : pair_d2[2 * k];
        pair_n[k] = upper ? pair_n[2 * k + 1] : pair_n[2 * k];
    }
    const bool upper = later_wins(pair_d2[0], pair_d2[1]);
    double least = upper ? pair_d2[1] : pair_d2[0];
    int lowest = upper ? pair_n[1] : pair_n[0];
    if (least != least) {
        least = INFINITY;
        lowest = 0;
    }
    const double least_distance = std::sqrt(least);
    if (!(least_distance < 16777216.0)) return 0;
    const auto min_error = static_cast<std::uint32_t>(least_distance);
    const double bound = static_cast<double>(min_error + 1) * static_cast<double>(min_error + 1);
    unsigned near = 0;
    for (int n = 0; n < kPaletteSize; ++n) near |= static_cast<unsigned>(d2[n] < bound) << n;
    near &= ~((2u << lowest) - 1u);
    while (near != 0) {
        const int n = 31 - std::countl_zero(near);
        if (static_cast<std::uint32_t>(std::sqrt(d2[n])) == min_error) return n;
        near &= ~(1u << n);
    }
    return lowest;
}

[[gnu::always_inline]] inline void add_share(double* target, const double (&error)[3], int weight) {
    double l = target[0] + std::trunc(error[0] * weight / 16);
    if (l > 100) l = 100;
    if (l < 0) l = 0;
    target[0] = l;
    target[1] = target[1] + std::trunc(error[1] * weight / 16);
    target[2] = target[2] + std::trunc(error[2] * weight / 16);
}

// CIELAB of one row of blue-green-red pixels into `row` (L, a, b per pixel).
inline void convert_row(const ConversionTables& t, const unsigned char* pixels, std::size_t width, double* row) {
    for (std::size_t j = 0; j < width; ++j) {
        const unsigned char* p = pixels + j * 3;
        const Lab lab = lab_of_channels(t, p[2], p[1], p[0]);
        row[j * 3] = lab.l;
        row[j * 3 + 1] = lab.a;
        row[j * 3 + 2] = lab.b;
    }
}

// A row scanned alone: nothing to wait for, nobody to tell.
struct Alone {
    void wait(std::size_t) {}
    void scanned(std::size_t) {}
};

// A row of the wavefront. Pixel j of row i + 1 adds its share to pixel
// j + 1 of its own row, which must by then hold the shares of pixels j, j + 1
// and j + 2 of row i, in that order before its own: shares are truncated
// and L is clamped after each, so the order of the additions matters. Row
// i + 1 therefore trails row i by the kernel's reach plus one, three pixels.
class Trailing {
  public:
    static constexpr std::size_t kLag = 3;

    Trailing(common::RowProgress& progress, common::Patience& patience, std::size_t row, std::size_t width)
        : progress_(progress), patience_(patience), row_(static_cast<std::int32_t>(row)), width_(width) {}

    // Before pixel j. Having to wait, waits for kSlack pixels more than
    // needed, so that rows running at the same speed do not meet again at
    // once.
    void wait(std::size_t j) {
        const std::size_t needed = std::min(j + kLag, width_);
        if (row_ == 0 || needed <= seen_) return;
        const auto target = static_cast<std::uint32_t>(std::min(needed + kSlack, width_));
        seen_ = patience_.timed([&] { return progress_.wait(row_ - 1, target); });
    }
    // After pixel j - 1: tells the row below every kChunk pixels.
    void scanned(std::size_t count) {
        if (count % kChunk == 0) progress_.publish(row_, static_cast<std::uint32_t>(count));
    }

  private:
    static constexpr std::size_t kSlack = 256;
    static constexpr std::size_t kChunk = 32;
    common::RowProgress& progress_;
    common::Patience& patience_;
    std::int32_t row_;
    std::size_t width_;
    std::size_t seen_ = 0;
};

// Row i of the diffusion: its working colours in `current` (L, a, b per
// pixel), the row below's in `next`. Kept out of line, so that each kind of
// row gets a loop of its own, its registers allocated for it alone.
template <class Sync>
[[gnu::noinline]] inline void diffuse_row(const ConversionTables& tables, const DiffusionPalette& palette, bool proof,
                                          std::size_t width, std::size_t height, std::size_t i, double* current,
                                          double* next, unsigned char* proof_out, unsigned char* indices, Sync& sync) {
    // Pixels of the outer rows and columns pass nothing on.
    const bool interior_row = i >= 1 && i + 2 <= height;
    for (std::size_t j = 0; j < width; ++j) {
        sync.wait(j);
        double* here = current + j * 3;
        const Lab clipped = clip_to_gamut(tables, {here[0], here[1], here[2]});
        const int n = nearest_entry(palette, clipped);
        const std::size_t pixel = i * width + j;
        if (proof) {
            unsigned char* out = proof_out + pixel * 3;
            out[0] = palette.proof_bgr[n][0];
            out[1] = palette.proof_bgr[n][1];
            out[2] = palette.proof_bgr[n][2];
        }
        indices[pixel] = static_cast<unsigned char>(n);
        if (interior_row && j >= 1 && j + 2 <= width) {
            const double error[3] = {clipped.l - palette.l[n], clipped.a - palette.error_a[n],
                                     clipped.b - palette.error_b[n]};
            double* below = next + j * 3;
            add_share(here + 3, error, 7);
            add_share(below, error, 5);
            add_share(below + 3, error, 1);
            add_share(below - 3, error, 3);
        }
        sync.scanned(j + 1);
    }
}

// Diffuses a picture of blue-green-red pixels onto the palette: palette
// indices into `indices`, and with `proof` the palette's proof colours into
// `proof_out`; on up to `threads` threads (at most one per row), with the
// bytes of one. Throws std::bad_alloc before writing anything when the work
// memory cannot be had.
//
// Errors only reach the same and the next row, so a few rows of the working
// image suffice: a ring of them. Row i converts row i + 1 into the ring just
// before it can pass errors to it, which gives the values of converting the
// whole picture first. Threads take rows in order from a counter; rows
// finish in order (each waits for the whole row above before its last
// pixels), so when a thread takes row i, every row up to i - threads is
// finished, and threads + 1 slots never hand a slot to row i + 1 while a
// running row still uses it. A finished row says so for its slot, and the
// row converted into it next waits for that: it is already true, but the
// wait makes every access of the earlier rows happen before the conversion.
inline void diffuse_picture(const DiffusionPalette& palette, bool proof, std::size_t width, std::size_t height,
                            const unsigned char* img_buffer, unsigned char* proof_out, unsigned char* indices,
                            int threads) {
    const ConversionTables& tables = conversion_tables();
    const std::size_t parts = std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), height);
    const std::size_t slots = parts + 1;
    std::vector<double> ring(slots * width * 3);
    auto row_at = [&](std::size_t y) { return ring.data() + (y % slots) * width * 3; };
    convert_row(tables, img_buffer, width, row_at(0));
    auto scan = [&](std::size_t i, auto& sync) {
        if (i + 1 < height) convert_row(tables, img_buffer + (i + 1) * width * 3, width, row_at(i + 1));
        diffuse_row(tables, palette, proof, width, height, i, row_at(i), row_at(i + 1), proof_out, indices, sync);
    };
    if (parts == 1) {
        Alone alone;
        for (std::size_t i = 0; i < height; ++i) scan(i, alone);
        return;
    }
    common::RowProgress progress(static_cast<int>(parts) + 1);
    common::Patience patience;
    // free_for[s]: the first row that may be converted into slot s.
    const auto free_for = std::make_unique<common::Watched[]>(slots);
    for (std::size_t s = 0; s < slots; ++s) free_for[s].store(s);
    std::atomic<std::size_t> next_row{0};
    common::run_parts(static_cast<int>(parts), [&](int part) {
        for (;;) {
            // Out of patience, the calling thread finishes alone.
            if (part != 0 && patience.lost()) return;
            const std::size_t i = next_row.fetch_add(1, std::memory_order_relaxed);
            if (i >= height) return;
            if (i + 1 < height)
                patience.timed([&] {
                    return free_for[(i + 1) % slots].wait_until([&](std::uint64_t row) { return row >= i + 1; });
                });
            Trailing sync(progress, patience, i, width);
            scan(i, sync);
            progress.publish(static_cast<std::int32_t>(i), common::RowProgress::kFinished);
            free_for[i % slots].store(i + slots);
        }
    });
}

}  // namespace ULMA_COLOUR_ISA

#if ULMA_COLOUR_FMA_BUILD
// diffuse_picture of the fused multiply-add build (error_diffusion_fma.cpp),
// for processors that have the instruction.
void diffuse_picture_fma(const DiffusionPalette& palette, bool proof, std::size_t width, std::size_t height,
                         const unsigned char* img_buffer, unsigned char* proof_out, unsigned char* indices,
                         int threads);
#endif

}  // namespace ulma
