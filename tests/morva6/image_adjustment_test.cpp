#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include <morva6/morva6.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<int, 3>;

struct Settings {
    int hue = 0, saturation = 0, brightness = 0, contrast = 0;
    double gamma = 1.0;
};

// A plain transcription of the adjustment, one pixel at a time, with gamma
// as a separate second pass; the library's tables must give the same bytes.
double reference_channel(double t, double q, double p) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6.0) {
        const double x = (q - p) * 6 * t + p;
        return x < 0 ? 0 : x > 1 ? 255 : x * 255;
    }
    if (t < 1.0 / 2.0) return q * 255;
    if (t < 2.0 / 3.0) return ((q - p) * 6 * (2.0 / 3.0 - t) + p) * 255;
    return p * 255;
}

Rgb reference_pixel(Rgb rgb, const Settings& s) {
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    const double max = std::max({r, g, b}), min = std::min({r, g, b});
    double h = 0, sat = 0, l = (max + min) * 0.5 / 255;
    if (max != min) {
        const double d = max - min;
        if (r == max) {
            h = static_cast<long long>((g - b) * 60 / d + 360) % 360;
        } else if (g == max) {
            h = (b - r) * 60 / d + 120;
        } else {
            h = (r - g) * 60 / d + 240;
        }
        sat = max + min <= 255 ? d / (max + min) : (d / 255) / (2 - (max + min) / 255);
        if (sat >= 0.1) sat = std::clamp(sat + s.saturation / 100.0, 0.0, 1.0);
    }
    h = static_cast<double>(static_cast<long long>(h + s.hue) % 360);
    l = std::clamp(l * (s.contrast / 50.0 + 1) - s.contrast / 100.0 + s.brightness / 100.0,
                   0.0, 1.0);
    const double q = l < 0.5 ? l * (1 + sat) : (l + sat) - l * sat;
    const double p = 2 * l - q;
    h /= 360;
    return {static_cast<int>(reference_channel(h + 0.333333, q, p)),
            static_cast<int>(reference_channel(h, q, p)),
            static_cast<int>(reference_channel(h - 0.333333, q, p))};
}

Bytes reference_picture(const Bytes& in, int in_bgr, int out_bgr, const Settings& s) {
    Bytes out(in.size());
    for (std::size_t i = 0; i < in.size(); i += 3) {
        const Rgb rgb = in_bgr ? Rgb{in[i + 2], in[i + 1], in[i]}
                               : Rgb{in[i], in[i + 1], in[i + 2]};
        const Rgb res = reference_pixel(rgb, s);
        for (int c = 0; c < 3; ++c) {
            out[i + (out_bgr ? 2 - c : c)] = static_cast<std::uint8_t>(res[c]);
        }
    }
    if (s.gamma != 1.0) {
        for (auto& byte : out) {
            const double curved = std::pow(byte / 255.0, s.gamma) * 255;
            byte = static_cast<std::uint8_t>(static_cast<int>(curved));
        }
    }
    return out;
}

int adjust(const Bytes& in, int in_bgr, Bytes& out, int out_bgr, int w, int h, const Settings& s) {
    return Ovex_image_adjustment(in.data(), in_bgr, out.data(), out_bgr, w, h, s.hue,
                                 s.saturation, s.brightness, s.contrast, s.gamma);
}

Bytes pixel_bytes(Rgb rgb, int bgr) {
    return bgr ? Bytes{std::uint8_t(rgb[2]), std::uint8_t(rgb[1]), std::uint8_t(rgb[0])}
               : Bytes{std::uint8_t(rgb[0]), std::uint8_t(rgb[1]), std::uint8_t(rgb[2])};
}

// ---- Worked examples, in every channel order, in place and out of place ----

struct Example {
    const char* name;
    Rgb in;
    Settings settings;
    Rgb expected;
};

const Example kExamples[] = {
    {"grey_neutral", {128, 128, 128}, {}, {128, 128, 128}},
    {"red_hue_120_green", {255, 0, 0}, {.hue = 120}, {0, 255, 0}},
    {"red_hue_240_blue", {255, 0, 0}, {.hue = 240}, {0, 0, 255}},
    {"red_hue_60_yellow", {255, 0, 0}, {.hue = 60}, {255, 255, 0}},
    {"red_hue_360_red", {255, 0, 0}, {.hue = 360}, {255, 0, 0}},
    {"neutral_round_trip_loses_a_step", {10, 20, 30}, {}, {10, 19, 30}},
    {"hue_minus_360_leaves_negative_angle", {200, 100, 50}, {.hue = -360}, {200, 100, 0}},
    {"hue_minus_30", {200, 100, 50}, {.hue = -30}, {200, 49, 74}},
    {"saturation_below_threshold_kept", {130, 128, 128}, {.saturation = 100}, {130, 128, 128}},
    {"saturation_100", {160, 128, 128}, {.saturation = 100}, {255, 32, 32}},
    {"saturation_minus_100_greys", {160, 128, 128}, {.saturation = -100}, {144, 144, 144}},
    {"brightness_20_black", {0, 0, 0}, {.brightness = 20}, {51, 51, 51}},
    {"brightness_100_black", {0, 0, 0}, {.brightness = 100}, {255, 255, 255}},
    {"brightness_minus_100_white", {255, 255, 255}, {.brightness = -100}, {0, 0, 0}},
    {"contrast_minus_100_black", {0, 0, 0}, {.contrast = -100}, {255, 255, 255}},
    {"contrast_minus_100_white", {255, 255, 255}, {.contrast = -100}, {0, 0, 0}},
    {"contrast_minus_50_black", {0, 0, 0}, {.contrast = -50}, {127, 127, 127}},
    {"contrast_minus_50_white", {255, 255, 255}, {.contrast = -50}, {127, 127, 127}},
    {"contrast_minus_50_red", {255, 0, 0}, {.contrast = -50}, {255, 0, 0}},
    {"gamma_2", {128, 128, 128}, {.gamma = 2.0}, {64, 64, 64}},
    {"gamma_half", {64, 64, 64}, {.gamma = 0.5}, {127, 127, 127}},
    {"gamma_0_white", {10, 200, 30}, {.gamma = 0.0}, {255, 255, 255}},
};

class AdjustmentExample : public testing::TestWithParam<std::tuple<Example, int, int>> {};

TEST_P(AdjustmentExample, OutOfPlace) {
    const auto& [ex, in_bgr, out_bgr] = GetParam();
    const Bytes in = pixel_bytes(ex.in, in_bgr);
    Bytes out(3, 0xAA);
    ASSERT_EQ(adjust(in, in_bgr, out, out_bgr, 1, 1, ex.settings), OVEX_OK);
    EXPECT_EQ(out, pixel_bytes(ex.expected, out_bgr));
}

TEST_P(AdjustmentExample, InPlace) {
    const auto& [ex, in_bgr, out_bgr] = GetParam();
    Bytes picture = pixel_bytes(ex.in, in_bgr);
    ASSERT_EQ(adjust(picture, in_bgr, picture, out_bgr, 1, 1, ex.settings), OVEX_OK);
    EXPECT_EQ(picture, pixel_bytes(ex.expected, out_bgr));
}

INSTANTIATE_TEST_SUITE_P(Examples, AdjustmentExample,
                         testing::Combine(testing::ValuesIn(kExamples), testing::Values(0, 1),
                                          testing::Values(0, 1)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_in" +
                                    std::to_string(std::get<1>(info.param)) + "_out" +
                                    std::to_string(std::get<2>(info.param));
                         });

TEST(ImageAdjustment, ChannelOrderSwapWhenNeutral) {
    Bytes picture{255, 0, 0, 0, 255, 0};
    ASSERT_EQ(adjust(picture, 1, picture, 0, 2, 1, {}), OVEX_OK);
    EXPECT_EQ(picture, (Bytes{0, 0, 255, 0, 255, 0}));
}

TEST(ImageAdjustment, GreysStayGreyUnderHueAndSaturation) {
    for (const Settings s : {Settings{}, Settings{.hue = 200, .saturation = 100},
                             Settings{.hue = -170, .saturation = -100}}) {
        for (int grey = 0; grey < 256; ++grey) {
            const Bytes in(3, static_cast<std::uint8_t>(grey));
            Bytes out(3);
            adjust(in, 1, out, 1, 1, 1, s);
            EXPECT_EQ(out, in) << "grey " << grey << " hue " << s.hue;
        }
    }
}

// ---- Refusals and sizes: nothing is touched ----

TEST(ImageAdjustment, EmptyOrNegativeSizeTouchesNothing) {
    const Bytes in(12, 0);
    for (const auto& [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {4, -3}, {0, 0}}) {
        Bytes out(12, 0x5A);
        EXPECT_EQ(adjust(in, 1, out, 1, w, h, {.brightness = 100}), OVEX_OK);
        EXPECT_EQ(out, Bytes(12, 0x5A));
    }
}

TEST(ImageAdjustment, UnknownChannelOrderRefusedUntouched) {
    const Bytes in{1, 2, 3};
    for (const auto& [in_bgr, out_bgr] : {std::pair{2, 1}, {-1, 0}, {1, 2}, {0, -1}, {7, 7}}) {
        Bytes out{9, 9, 9};
        EXPECT_EQ(adjust(in, in_bgr, out, out_bgr, 1, 1, {.gamma = 0.5}), OVEX_ERR_CHANNEL_ORDER);
        EXPECT_EQ(out, (Bytes{9, 9, 9}));
    }
}

TEST(ImageAdjustment, OversizePictureRefusedUntouched) {
    // The sizes are checked before any pixel is read, so a small buffer is safe.
    const Bytes in{1, 2, 3};
    for (const auto& [w, h] : {std::pair{30000, 30000}, {1, 536870912}, {65536, 8192}}) {
        Bytes out{9, 9, 9};
        EXPECT_EQ(adjust(in, 1, out, 1, w, h, {}), OVEX_ERR_BAD_SIZE);
        EXPECT_EQ(out, (Bytes{9, 9, 9}));
    }
}

// ---- Gamma outside the driver's range: defined bytes, no undefined conversion ----

TEST(ImageAdjustment, GammaOutsideUsualRange) {
    const Bytes greys{0, 0, 0, 1, 1, 1, 255, 255, 255};
    Bytes out(9);
    // 1 / x: byte 0 has no finite result and gives 0; byte 1 gives 65025,
    // stored as its low byte 1.
    ASSERT_EQ(adjust(greys, 0, out, 0, 3, 1, {.gamma = -1.0}), OVEX_OK);
    EXPECT_EQ(out, (Bytes{0, 0, 0, 1, 1, 1, 255, 255, 255}));
    ASSERT_EQ(adjust(greys, 0, out, 0, 3, 1, {.gamma = std::numeric_limits<double>::quiet_NaN()}),
              OVEX_OK);
    EXPECT_EQ(out, (Bytes{0, 0, 0, 0, 0, 0, 255, 255, 255}));
}

// ---- The tabulated pass against the plain transcription ----

// One seeded random picture and random settings (parameters beyond the
// driver's ranges too), adjusted out of place and in place.
void expect_reference_on_random_picture(std::mt19937& rng, int w, int h, int round) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const double gammas[] = {1.0, 0.0, 0.5, 2.0, 0.37, 1.9, 3.5};
    Bytes in(static_cast<std::size_t>(w) * h * 3);
    for (auto& byte : in) byte = static_cast<std::uint8_t>(pick(0, 255));
    // Some pictures keep channels close together, to reach low saturations.
    if (round % 3 == 0) {
        for (std::size_t i = 3; i < in.size(); ++i) {
            in[i] = static_cast<std::uint8_t>(in[i % 3] + pick(0, 6));
        }
    }
    const bool wide = round % 4 == 0;
    const Settings s{pick(wide ? -1000 : 0, wide ? 1000 : 360), pick(-150, 150),
                     pick(-150, 150), pick(-150, 150), gammas[round % 7]};
    const int in_bgr = round % 2, out_bgr = (round / 2) % 2;
    Bytes out(in.size());
    ASSERT_EQ(adjust(in, in_bgr, out, out_bgr, w, h, s), OVEX_OK);
    const Bytes expected = reference_picture(in, in_bgr, out_bgr, s);
    for (std::size_t i = 0; i < in.size(); ++i) {
        ASSERT_EQ(out[i], expected[i])
            << "round " << round << " byte " << i << " hue " << s.hue << " sat " << s.saturation
            << " bri " << s.brightness << " con " << s.contrast << " gamma " << s.gamma;
    }
    Bytes in_place = in;
    ASSERT_EQ(adjust(in_place, in_bgr, in_place, out_bgr, w, h, s), OVEX_OK);
    ASSERT_EQ(in_place, expected);
}

TEST(ImageAdjustment, MatchesReferenceOnSmallRandomPictures) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 60; ++round) {
        const int w = std::uniform_int_distribution<int>(1, 37)(rng);
        const int h = std::uniform_int_distribution<int>(1, 23)(rng);
        expect_reference_on_random_picture(rng, w, h, round);
    }
}

TEST(ImageAdjustment, MatchesReferenceOnLargeRandomPictures) {
    // Large enough for the per-call table of lightness pairs.
    std::mt19937 rng(77);
    for (int round = 0; round < 3; ++round) {
        expect_reference_on_random_picture(rng, 517, 300, round);
    }
}

TEST(ImageAdjustment, MatchesReferenceOverEveryHueShift) {
    // Every hue shift from -720 to 720 on pixels of each hue sector and tie.
    const Bytes in{255, 0, 0, 200, 100, 50, 40, 200, 90, 10, 20, 30, 255, 255, 0,
                   0, 255, 255, 255, 0, 255, 130, 128, 128, 250, 251, 249};
    for (int hue = -720; hue <= 720; ++hue) {
        const Settings s{.hue = hue, .saturation = 30};
        Bytes out(in.size());
        ASSERT_EQ(adjust(in, 0, out, 0, 9, 1, s), OVEX_OK);
        ASSERT_EQ(out, reference_picture(in, 0, 0, s)) << "hue " << hue;
    }
}

TEST(ImageAdjustment, MatchesReferenceForEverySpreadAndDifference) {
    // Every (max - min, difference) pair the hue formulas divide, under each
    // largest channel, rotated by shifts that push sums below zero and to the
    // ends of the integer range.
    Bytes in;
    for (int spread = 1; spread < 256; ++spread) {
        for (int difference = -spread; difference <= spread; ++difference) {
            const int min = spread * 7 % (256 - spread), max = min + spread;
            const int up = min + std::max(difference, 0), down = min + std::max(-difference, 0);
            const Rgb pixels[3] = {{max, up, down}, {down, max, up}, {up, down, max}};
            for (const Rgb& rgb : pixels) {
                for (int c = 0; c < 3; ++c) in.push_back(static_cast<std::uint8_t>(rgb[c]));
            }
        }
    }
    const int w = static_cast<int>(in.size() / 3);
    constexpr int kMost = std::numeric_limits<std::int32_t>::max();
    constexpr int kLeast = std::numeric_limits<std::int32_t>::min();
    for (const int hue : {0, 7, -1, -30, -181, -360, 719, kMost, kLeast}) {
        const Settings s{.hue = hue, .saturation = 10, .brightness = -5};
        Bytes out(in.size());
        ASSERT_EQ(adjust(in, 0, out, 0, w, 1, s), OVEX_OK);
        const Bytes expected = reference_picture(in, 0, 0, s);
        for (std::size_t i = 0; i < in.size(); ++i) {
            ASSERT_EQ(out[i], expected[i]) << "hue " << hue << " pixel " << i / 3;
        }
    }
}

}  // namespace
