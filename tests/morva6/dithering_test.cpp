// The three error-diffusion engines: worked examples, share rounding, the
// nearest-ink rule, scan order and edges, and agreement with a slow
// reference written from the rules on many random pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "morva6/dithering.h"
#include "morva6/error_diffusion_frame.h"
#include "morva6/error_diffusion_sources.h"
#include "morva6/render_context.h"

namespace {

using Palette = std::array<std::uint8_t, 18>;
using Engine = void (*)(const std::uint8_t*, std::uint32_t, std::uint8_t*, std::int32_t, std::int32_t,
                        std::uint8_t);

enum class Kernel { Floyd, Jarvis, Stucki };

// The ideal inks stored blue, green, red: black, white, yellow, red, green, blue.
constexpr Palette kIdealInks = {0, 0, 0, 255, 255, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};

Engine engine_of(Kernel kernel) {
    switch (kernel) {
        case Kernel::Floyd:
            return Ovex_dithering_Floyd_QW;
        case Kernel::Jarvis:
            return Ovex_dithering_Jarvis_Judice_Ninkle_QW;
        default:
            return Ovex_dithering_Stucki_QW;
    }
}

std::string kernel_name(Kernel kernel) {
    return kernel == Kernel::Floyd ? "Floyd" : kernel == Kernel::Jarvis ? "Jarvis" : "Stucki";
}

std::vector<std::uint8_t> run_engine(Kernel kernel, const std::vector<std::uint8_t>& mapped, std::uint32_t is_bgr,
                                     int width, int height, std::uint8_t serpentine) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 0xEE);
    engine_of(kernel)(mapped.data(), is_bgr, out.data(), width, height, serpentine);
    return out;
}

// ---------------------------------------------------------------------------
// Slow reference: full error rows with guard columns, shares added into memory
// one by one, rows copied on rotation; shares by floating-point floor/trunc.

struct ReferenceKernel {
    int guard;
    int rows;
    int divisor;
    bool floor_rounding;
    // weights[row][offset + 2] for a left-to-right row.
    int weights[3][5];
};

ReferenceKernel reference_kernel(Kernel kernel) {
    switch (kernel) {
        case Kernel::Floyd:
            return {1, 2, 16, true, {{0, 0, 0, 7, 0}, {0, 3, 5, 1, 0}, {0, 0, 0, 0, 0}}};
        case Kernel::Jarvis:
            return {2, 3, 48, false, {{0, 0, 0, 7, 5}, {3, 5, 7, 5, 3}, {1, 3, 5, 3, 1}}};
        default:
            return {2, 3, 42, false, {{0, 0, 0, 8, 4}, {2, 4, 8, 4, 2}, {1, 2, 4, 2, 1}}};
    }
}

int reference_share(const ReferenceKernel& k, int weight, int error) {
    const double exact = static_cast<double>(weight) * error / k.divisor;
    return static_cast<int>(k.floor_rounding ? std::floor(exact) : std::trunc(exact));
}

// How often the reference met the wrapping rules, so that tests can check
// that their pictures really exercise them.
struct ReferenceStats {
    long negative_values = 0;     // pixel values below 0
    long wrapped_values = 0;      // pixel values whose entry had wrapped past 16 bits
    long wrapped_distances = 0;   // distances that wrapped to negative 32-bit numbers
};

std::vector<std::uint8_t> reference_dither(Kernel which, const std::vector<std::uint8_t>& mapped,
                                           std::uint32_t is_bgr, int width, int height, bool serpentine,
                                           const Palette& palette, ReferenceStats* stats = nullptr) {
    ReferenceStats unused;
    ReferenceStats& seen = stats != nullptr ? *stats : unused;
    if (width < 1 || height < 1) return {};
    const ReferenceKernel k = reference_kernel(which);
    const int columns = width + 2 * k.guard;
    std::vector<std::vector<std::uint16_t>> rows(k.rows, std::vector<std::uint16_t>(columns * 3, 0));
    // The same sums without wrapping, only to count wraps.
    std::vector<std::vector<long>> exact(k.rows, std::vector<long>(columns * 3, 0));
    auto entry = [&](int row, int x, int c) -> std::uint16_t& { return rows[row][(x + k.guard) * 3 + c]; };
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height);
    const bool reads_pixels = is_bgr <= 1;
    for (int y = 0; y < height; ++y) {
        if (reads_pixels)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) {
                    entry(0, x, c) += mapped[(y * width + x) * 3 + c];
                    exact[0][(x + k.guard) * 3 + c] += mapped[(y * width + x) * 3 + c];
                }
        const bool right_to_left = serpentine && y % 2 == 1;
        const int dir = right_to_left ? -1 : 1;
        for (int n = 0; n < width; ++n) {
            const int x = right_to_left ? width - 1 - n : n;
            int value[3];
            for (int c = 0; c < 3; ++c) {
                value[c] = static_cast<std::int16_t>(entry(0, x, c));
                seen.negative_values += value[c] < 0;
                seen.wrapped_values += exact[0][(x + k.guard) * 3 + c] != value[c];
            }
            // Palette byte compared with pixel byte c.
            auto ink = [&](int index, int c) { return palette[3 * index + (is_bgr == 0 ? 2 - c : c)]; };
            int best = 0;
            std::int32_t best_distance = 0;
            for (int index = 0; index < 6; ++index) {
                std::uint32_t d = 0;
                for (int c = 0; c < 3; ++c) {
                    const std::uint32_t diff = static_cast<std::uint32_t>(ink(index, c) - value[c]);
                    d += diff * diff;
                }
                const auto distance = static_cast<std::int32_t>(d);
                seen.wrapped_distances += distance < 0;
                if (index == 0 || distance < best_distance) {
                    best = index;
                    best_distance = distance;
                }
            }
            out[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(best);
            if (!reads_pixels) continue;
            for (int c = 0; c < 3; ++c) {
                const int error = static_cast<std::int16_t>(value[c] - ink(best, c));
                const long exact_error = exact[0][(x + k.guard) * 3 + c] - ink(best, c);
                for (int row = 0; row < k.rows; ++row)
                    for (int offset = -2; offset <= 2; ++offset) {
                        const int weight = k.weights[row][offset + 2];
                        if (weight == 0) continue;
                        entry(row, x + dir * offset, c) += static_cast<std::uint16_t>(reference_share(k, weight, error));
                        exact[row][(x + dir * offset + k.guard) * 3 + c] +=
                            reference_share(k, weight, static_cast<int>(exact_error));
                    }
            }
        }
        for (int row = 0; row + 1 < k.rows; ++row) {
            rows[row] = rows[row + 1];
            exact[row] = exact[row + 1];
        }
        std::fill(rows.back().begin(), rows.back().end(), 0);
        std::fill(exact.back().begin(), exact.back().end(), 0);
    }
    return out;
}

// ---------------------------------------------------------------------------

class DitheringTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = morva6::bgr_op; }
    void TearDown() override { morva6::bgr_op = saved_; }
    static void use_palette(const Palette& palette) { morva6::bgr_op = palette; }

private:
    Palette saved_{};
};

std::vector<std::uint8_t> uniform_picture(int width, int height, std::array<std::uint8_t, 3> pixel) {
    std::vector<std::uint8_t> picture;
    for (int i = 0; i < width * height; ++i) picture.insert(picture.end(), pixel.begin(), pixel.end());
    return picture;
}

// Worked example: 4 x 3 pixels of blue 90, green 90, red 160 against the
// ideal inks.
struct WorkedExample {
    Kernel kernel;
    bool serpentine;
    std::vector<std::uint8_t> expected;
};

TEST_F(DitheringTest, WorkedExamplesInBothByteOrders) {
    const std::vector<WorkedExample> examples = {
        {Kernel::Floyd, false, {3, 4, 3, 5, 3, 5, 2, 3, 1, 3, 5, 2}},
        {Kernel::Floyd, true, {3, 4, 3, 5, 5, 3, 1, 3, 3, 4, 3, 5}},
        {Kernel::Jarvis, false, {3, 3, 3, 3, 3, 4, 5, 2, 1, 5, 3, 1}},
        {Kernel::Jarvis, true, {3, 3, 3, 3, 3, 4, 1, 0, 5, 3, 1, 0}},
        {Kernel::Stucki, false, {3, 3, 3, 0, 0, 1, 1, 3, 3, 0, 0, 1}},
        {Kernel::Stucki, true, {3, 3, 3, 0, 0, 1, 0, 1, 3, 0, 1, 3}},
    };
    use_palette(kIdealInks);
    const auto bgr = uniform_picture(4, 3, {90, 90, 160});
    const auto rgb = uniform_picture(4, 3, {160, 90, 90});
    for (const auto& example : examples) {
        SCOPED_TRACE(kernel_name(example.kernel) + (example.serpentine ? " serpentine" : ""));
        EXPECT_EQ(run_engine(example.kernel, bgr, 1, 4, 3, example.serpentine), example.expected);
        EXPECT_EQ(run_engine(example.kernel, rgb, 0, 4, 3, example.serpentine), example.expected);
        EXPECT_EQ(reference_dither(example.kernel, bgr, 1, 4, 3, example.serpentine, kIdealInks), example.expected);
    }
}

// ---------------------------------------------------------------------------
// Share rounding.

struct ShareCase {
    Kernel kernel;
    int error;
    std::array<int, 4> shares;  // for the kernel's weights, largest first
};

std::vector<ShareCase> worked_shares() {
    return {
        // Floyd-Steinberg, weights 7, 5, 3, 1: floor, so negatives round down.
        {Kernel::Floyd, 16, {7, 5, 3, 1}},
        {Kernel::Floyd, 20, {8, 6, 3, 1}},
        {Kernel::Floyd, -20, {-9, -7, -4, -2}},
        {Kernel::Floyd, -1, {-1, -1, -1, -1}},
        {Kernel::Floyd, 1, {0, 0, 0, 0}},
        // Jarvis-Judice-Ninke, weights 7, 5, 3, 1: toward zero.
        {Kernel::Jarvis, 5, {0, 0, 0, 0}},
        {Kernel::Jarvis, 6, {0, 0, 0, 0}},
        {Kernel::Jarvis, -6, {0, 0, 0, 0}},
        {Kernel::Jarvis, 7, {1, 0, 0, 0}},
        {Kernel::Jarvis, 41, {5, 4, 2, 0}},
        {Kernel::Jarvis, 47, {6, 4, 2, 0}},
        {Kernel::Jarvis, -47, {-6, -4, -2, 0}},
        {Kernel::Jarvis, 100, {14, 10, 6, 2}},
        {Kernel::Jarvis, -100, {-14, -10, -6, -2}},
        {Kernel::Jarvis, -32768, {-4778, -3413, -2048, -682}},
        // Stucki, weights 8, 4, 2, 1: toward zero.
        {Kernel::Stucki, 5, {0, 0, 0, 0}},
        {Kernel::Stucki, -5, {0, 0, 0, 0}},
        {Kernel::Stucki, 6, {1, 0, 0, 0}},
        {Kernel::Stucki, 7, {1, 0, 0, 0}},
        {Kernel::Stucki, 41, {7, 3, 1, 0}},
        {Kernel::Stucki, 47, {8, 4, 2, 1}},
        {Kernel::Stucki, -47, {-8, -4, -2, -1}},
        {Kernel::Stucki, 100, {19, 9, 4, 2}},
        {Kernel::Stucki, -100, {-19, -9, -4, -2}},
        {Kernel::Stucki, -32768, {-6241, -3120, -1560, -780}},
        {Kernel::Stucki, 32767, {6241, 3120, 1560, 780}},
    };
}

// The shares of `kernel` for one error, through the cells type `Cells`;
// the three channels get e, e and e so that each lane is exercised.
template <class Cells>
std::array<int, 4> cell_shares(Kernel kernel, int error) {
    typename Cells::Cell cell = Cells::zero();
    std::array<std::uint16_t, 4> entries = {static_cast<std::uint16_t>(error), static_cast<std::uint16_t>(error),
                                            static_cast<std::uint16_t>(error), 0};
    cell = Cells::load(entries.data());
    std::array<typename Cells::Cell, 4> shares{};
    switch (kernel) {
        case Kernel::Floyd:
            shares = Cells::template shares<morva6::diffusion::FloydSteinberg>(cell);
            break;
        case Kernel::Jarvis:
            shares = Cells::template shares<morva6::diffusion::JarvisJudiceNinke>(cell);
            break;
        default:
            shares = Cells::template shares<morva6::diffusion::Stucki>(cell);
            break;
    }
    std::array<int, 4> result{};
    for (int slot = 0; slot < 4; ++slot) {
        std::array<std::uint16_t, 4> out{};
        Cells::store(out.data(), shares[slot]);
        // All three channels must agree and the fourth entry stay zero.
        EXPECT_EQ(out[1], out[0]);
        EXPECT_EQ(out[2], out[0]);
        EXPECT_EQ(out[3], 0);
        result[slot] = static_cast<std::int16_t>(out[0]);
    }
    return result;
}

TEST(DitheringShares, WorkedShareTables) {
    for (const auto& c : worked_shares()) {
        SCOPED_TRACE(kernel_name(c.kernel) + " error " + std::to_string(c.error));
        EXPECT_EQ(cell_shares<morva6::diffusion::ScalarCells>(c.kernel, c.error), c.shares);
        EXPECT_EQ(cell_shares<morva6::diffusion::FastCells>(c.kernel, c.error), c.shares);
    }
}

// The fast cells divide by multiply-and-shift; they must equal the plain
// quotient (floor for Floyd-Steinberg, toward zero for the others) for every
// 16-bit error, in every channel.
TEST(DitheringShares, FastSharesEqualPlainQuotientForEverySixteenBitError) {
    using Fast = morva6::diffusion::FastCells;
    for (const Kernel kernel : {Kernel::Floyd, Kernel::Jarvis, Kernel::Stucki}) {
        const ReferenceKernel k = reference_kernel(kernel);
        const std::array<int, 4> weights =
            kernel == Kernel::Stucki ? std::array<int, 4>{8, 4, 2, 1} : std::array<int, 4>{7, 5, 3, 1};
        long mismatches = 0;
        for (int e = -32768; e <= 32767; ++e) {
            // Different errors in the three channels: e, -e-1 and e+12345 (wrapped).
            const std::array<std::uint16_t, 4> entries = {static_cast<std::uint16_t>(e),
                                                          static_cast<std::uint16_t>(-e - 1),
                                                          static_cast<std::uint16_t>(e + 12345), 0};
            std::array<Fast::Cell, 4> shares{};
            const Fast::Cell cell = Fast::load(entries.data());
            if (kernel == Kernel::Floyd)
                shares = Fast::shares<morva6::diffusion::FloydSteinberg>(cell);
            else if (kernel == Kernel::Jarvis)
                shares = Fast::shares<morva6::diffusion::JarvisJudiceNinke>(cell);
            else
                shares = Fast::shares<morva6::diffusion::Stucki>(cell);
            for (int slot = 0; slot < 4; ++slot) {
                std::array<std::uint16_t, 4> out{};
                Fast::store(out.data(), shares[slot]);
                for (int c = 0; c < 3; ++c) {
                    const int expected = reference_share(k, weights[slot], static_cast<std::int16_t>(entries[c]));
                    mismatches += static_cast<std::int16_t>(out[c]) != expected;
                }
                mismatches += out[3] != 0;
            }
        }
        EXPECT_EQ(mismatches, 0) << kernel_name(kernel);
    }
}

// ---------------------------------------------------------------------------
// Nearest ink.

template <class Cells>
int nearest_index(const Palette& stored, bool bgr, std::array<std::int16_t, 3> value) {
    const typename Cells::Nearest nearest(morva6::diffusion::pixel_order_palette(stored, bgr));
    const std::array<std::uint16_t, 4> entries = {static_cast<std::uint16_t>(value[0]),
                                                  static_cast<std::uint16_t>(value[1]),
                                                  static_cast<std::uint16_t>(value[2]), 0};
    const auto choice = nearest(Cells::load(entries.data()));
    // The chosen colour must be the chosen ink's, in pixel order.
    std::array<std::uint16_t, 4> colour{};
    Cells::store(colour.data(), choice.colour);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(colour[c], stored[3 * choice.index + (bgr ? c : 2 - c)]);
    EXPECT_EQ(colour[3], 0);
    return choice.index;
}

struct NearestCase {
    std::string what;
    Palette palette;
    std::array<std::int16_t, 3> value;  // blue, green, red
    int expected;
};

TEST(DitheringNearest, TiesGoToTheLowerIndex) {
    const Palette twin_whites = {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};
    const Palette all_same = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    const std::vector<NearestCase> cases = {
        {"worked example: green and blue equally near", kIdealInks, {129, 129, 118}, 4},
        {"exact palette colour", kIdealInks, {0, 0, 255}, 3},
        {"duplicate ink: the lower index wins", twin_whites, {250, 250, 250}, 1},
        {"all inks equal", all_same, {-500, 3000, 77}, 0},
        {"black and white tie at mid grey, from below", {0, 0, 0, 2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {1, 1, 1}, 0},
        {"later ink strictly nearer wins", {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50, 60, 60, 60},
         {56, 56, 56}, 5},
        {"values are not clamped", kIdealInks, {-300, -300, 600}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(nearest_index<morva6::diffusion::ScalarCells>(c.palette, true, c.value), c.expected);
        EXPECT_EQ(nearest_index<morva6::diffusion::FastCells>(c.palette, true, c.value), c.expected);
        // The same colour with the pixel bytes in red, green, blue order.
        const std::array<std::int16_t, 3> rgb = {c.value[2], c.value[1], c.value[0]};
        EXPECT_EQ(nearest_index<morva6::diffusion::FastCells>(c.palette, false, rgb), c.expected);
    }
}

// Distances wrap in 32 bits and compare as signed numbers: far from every
// ink, a larger true distance can come out smaller. Both cell types must
// agree with the plain rule on values across the whole 16-bit range.
TEST(DitheringNearest, FastAndPlainSearchAgreeOnAnyValue) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> any(-32768, 32767);
    long wrapped = 0;
    for (int trial = 0; trial < 200000; ++trial) {
        Palette palette{};
        for (auto& b : palette) b = static_cast<std::uint8_t>(byte(random));
        if (trial % 7 == 0) std::copy_n(palette.begin(), 3, palette.begin() + 9);  // a duplicate ink
        std::array<std::int16_t, 3> value{};
        for (auto& v : value) v = static_cast<std::int16_t>(trial % 3 == 0 ? any(random) : any(random) / 64);
        const bool bgr = trial % 2 == 0;
        // Plain rule, written out.
        int best = 0;
        std::int32_t best_distance = 0;
        for (int k = 0; k < 6; ++k) {
            std::uint32_t d = 0;
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t diff = static_cast<std::uint32_t>(palette[3 * k + (bgr ? c : 2 - c)] - value[c]);
                d += diff * diff;
            }
            wrapped += static_cast<std::int32_t>(d) < 0;
            if (k == 0 || static_cast<std::int32_t>(d) < best_distance) {
                best = k;
                best_distance = static_cast<std::int32_t>(d);
            }
        }
        ASSERT_EQ(nearest_index<morva6::diffusion::FastCells>(palette, bgr, value), best) << "trial " << trial;
        ASSERT_EQ(nearest_index<morva6::diffusion::ScalarCells>(palette, bgr, value), best) << "trial " << trial;
    }
    EXPECT_GT(wrapped, 1000);  // the wrapping case was really exercised
}

// ---------------------------------------------------------------------------
// Whole engines against the slow reference.

std::vector<std::uint8_t> random_picture(std::mt19937& random, int width, int height, int low, int high) {
    std::uniform_int_distribution<int> byte(low, high);
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * height * 3);
    for (auto& b : picture) b = static_cast<std::uint8_t>(byte(random));
    return picture;
}

// Smooth gradients with a few hard edges, the kind of picture real use sees.
std::vector<std::uint8_t> gradient_picture(int width, int height) {
    std::vector<std::uint8_t> picture;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool edge = (x / 5 + y / 3) % 4 == 0;
            picture.push_back(static_cast<std::uint8_t>(edge ? 240 : x * 255 / std::max(1, width - 1)));
            picture.push_back(static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1)));
            picture.push_back(static_cast<std::uint8_t>(edge ? 10 : (x + y) * 127 / std::max(1, width + height)));
        }
    return picture;
}

class EngineAgreement : public DitheringTest, public ::testing::WithParamInterface<Kernel> {};

TEST_P(EngineAgreement, MatchesSlowReferenceOnRandomPictures) {
    const Kernel kernel = GetParam();
    std::mt19937 random(42 + static_cast<int>(kernel));
    const std::vector<std::pair<int, int>> sizes = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 7}, {7, 1},
                                                    {2, 5}, {5, 2}, {3, 3}, {4, 3}, {17, 9}, {31, 12}};
    for (int trial = 0; trial < 8; ++trial) {
        Palette palette{};
        std::uniform_int_distribution<int> byte(0, 255);
        for (auto& b : palette) b = static_cast<std::uint8_t>(byte(random));
        if (trial == 0) palette = kIdealInks;
        if (trial == 1) std::copy_n(palette.begin() + 3, 3, palette.begin() + 12);  // ink 4 = ink 1
        use_palette(palette);
        for (const auto& [width, height] : sizes) {
            const auto picture = trial % 2 == 0 ? random_picture(random, width, height, 0, 255)
                                                : gradient_picture(width, height);
            for (std::uint32_t is_bgr : {0u, 1u})
                for (std::uint8_t serpentine : {0, 1}) {
                    SCOPED_TRACE(kernel_name(kernel) + " " + std::to_string(width) + "x" + std::to_string(height) +
                                 " bgr " + std::to_string(is_bgr) + " serpentine " + std::to_string(serpentine) +
                                 " trial " + std::to_string(trial));
                    const auto expected =
                        reference_dither(kernel, picture, is_bgr, width, height, serpentine != 0, palette);
                    ASSERT_EQ(run_engine(kernel, picture, is_bgr, width, height, serpentine), expected);
                }
        }
    }
}

// A palette far darker than the picture keeps every error positive, so the
// values climb until the 16-bit entries wrap and the distances wrap too.
TEST_P(EngineAgreement, MatchesSlowReferenceWhenEntriesAndDistancesWrap) {
    const Kernel kernel = GetParam();
    const Palette dark = {0, 0, 0, 3, 3, 3, 0, 5, 5, 0, 0, 6, 0, 7, 0, 8, 0, 0};
    use_palette(dark);
    std::mt19937 random(7);
    // Wide enough that the edges cannot drain the growing error.
    const int width = 200, height = 160;
    const auto picture = random_picture(random, width, height, 235, 255);
    for (std::uint8_t serpentine : {0, 1}) {
        ReferenceStats stats;
        const auto expected = reference_dither(kernel, picture, 1, width, height, serpentine != 0, dark, &stats);
        EXPECT_GT(stats.wrapped_values, 0);
        EXPECT_GT(stats.negative_values, 0);
        EXPECT_GT(stats.wrapped_distances, 0);
        EXPECT_EQ(run_engine(kernel, picture, 1, width, height, serpentine), expected);
    }
}

// The plain cells run through the same frame and must agree as well: they
// are the reference form of the pixel operations and the build's fallback.
TEST_P(EngineAgreement, PlainCellsMatchSlowReference) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    std::mt19937 random(99);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 3}, {2, 2}, {13, 11}}) {
        const auto picture = random_picture(random, width, height, 0, 255);
        for (bool serpentine : {false, true}) {
            std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 0xEE);
            const auto palette = morva6::diffusion::pixel_order_palette(kIdealInks, true);
            const morva6::diffusion::MappedRows rows{picture.data(), width};
            using Plain = morva6::diffusion::ScalarCells;
            if (kernel == Kernel::Floyd)
                morva6::diffusion::diffuse<morva6::diffusion::FloydSteinberg, Plain>(rows, palette, out.data(), width,
                                                                                     height, serpentine);
            else if (kernel == Kernel::Jarvis)
                morva6::diffusion::diffuse<morva6::diffusion::JarvisJudiceNinke, Plain>(rows, palette, out.data(),
                                                                                        width, height, serpentine);
            else
                morva6::diffusion::diffuse<morva6::diffusion::Stucki, Plain>(rows, palette, out.data(), width, height,
                                                                             serpentine);
            EXPECT_EQ(out, reference_dither(kernel, picture, 1, width, height, serpentine, kIdealInks));
        }
    }
}

// Every byte of index_out is written with an index 0..5 and nothing around
// it is touched, for narrow and short pictures in both scan directions.
TEST_P(EngineAgreement, WritesExactlyTheIndexBuffer) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    std::mt19937 random(5);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{1, 1}, {1, 4}, {2, 3}, {3, 2}, {9, 5}}) {
        const auto picture = random_picture(random, width, height, 0, 255);
        const std::size_t pixels = static_cast<std::size_t>(width) * height;
        std::vector<std::uint8_t> buffer(pixels + 64, 0xEE);
        engine_of(kernel)(picture.data(), 1, buffer.data() + 32, width, height, 1);
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            const bool inside = i >= 32 && i < 32 + pixels;
            if (inside)
                EXPECT_LE(buffer[i], 5) << "byte " << i;
            else
                EXPECT_EQ(buffer[i], 0xEE) << "byte " << i;
        }
    }
}

TEST_P(EngineAgreement, EmptyPictureWritesNothing) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    const std::vector<std::uint8_t> picture(64, 100);
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{0, 4}, {4, 0}, {-1, 4}, {4, -3}, {0, 0}}) {
        std::vector<std::uint8_t> out(16, 0xEE);
        engine_of(kernel)(picture.data(), 1, out.data(), width, height, 1);
        EXPECT_EQ(out, std::vector<std::uint8_t>(16, 0xEE)) << width << "x" << height;
    }
}

// A uniform picture of an ink colour has no error anywhere; with the colour
// twice in the palette the lower index is chosen everywhere.
TEST_P(EngineAgreement, UniformInkPictureKeepsItsInk) {
    const Kernel kernel = GetParam();
    Palette palette = kIdealInks;
    std::copy_n(palette.begin() + 6, 3, palette.begin() + 15);  // ink 5 = yellow too
    use_palette(palette);
    for (int ink = 0; ink < 6; ++ink) {
        const auto picture = uniform_picture(6, 5, {palette[3 * ink], palette[3 * ink + 1], palette[3 * ink + 2]});
        const int expected = ink == 5 ? 2 : ink;
        EXPECT_EQ(run_engine(kernel, picture, 1, 6, 5, 1), std::vector<std::uint8_t>(30, expected)) << ink;
    }
}

TEST_P(EngineAgreement, SingleRowIgnoresSerpentineAndAnyNonZeroFlagMeansSerpentine) {
    const Kernel kernel = GetParam();
    use_palette(kIdealInks);
    std::mt19937 random(3);
    const auto row = random_picture(random, 11, 1, 0, 255);
    EXPECT_EQ(run_engine(kernel, row, 1, 11, 1, 0), run_engine(kernel, row, 1, 11, 1, 1));
    const auto picture = random_picture(random, 11, 6, 0, 255);
    EXPECT_EQ(run_engine(kernel, picture, 1, 11, 6, 2), run_engine(kernel, picture, 1, 11, 6, 1));
    EXPECT_EQ(run_engine(kernel, picture, 1, 11, 6, 255), run_engine(kernel, picture, 1, 11, 6, 1));
}

// With no channel order no pixel is read: every value stays black and every
// index is the ink nearest to black (ties to the lower index).
TEST_P(EngineAgreement, UnknownChannelOrderGivesInkNearestBlackEverywhere) {
    const Kernel kernel = GetParam();
    const Palette palette = {200, 200, 200, 9, 0, 0, 0, 0, 9, 50, 50, 50, 0, 9, 0, 9, 0, 0};
    use_palette(palette);
    const auto picture = uniform_picture(5, 4, {255, 255, 255});
    for (std::uint32_t is_bgr : {2u, 7u, 0xFFFFFFFFu})
        EXPECT_EQ(run_engine(kernel, picture, is_bgr, 5, 4, 1), std::vector<std::uint8_t>(20, 1)) << is_bgr;
}

INSTANTIATE_TEST_SUITE_P(Kernels, EngineAgreement, ::testing::Values(Kernel::Floyd, Kernel::Jarvis, Kernel::Stucki),
                         [](const auto& info) { return kernel_name(info.param); });

}  // namespace
