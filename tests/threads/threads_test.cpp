// Both engines render different pictures with different settings in several
// threads at once and give the bytes they give one after another. Built on
// its own under ThreadSanitizer as well (MORVA6_TSAN).
#include <gtest/gtest.h>
#include <morva6/morva6.h>
#include <ulma/ulma.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "ulmarender/support.h"

namespace {

using namespace ulma_test;

constexpr int kJobs = 8;
constexpr int kThreads = 4;

struct Renderers {
    const UlmaRenderData* render_data;
    const OvexRenderContext* contexts;  // two, with different ink colours
};

// Everything job `k` writes: eight colours at a temperature of its own with
// its own settings (noise seeded per job), six inks with one of the two
// contexts or the process-wide one and a dithering method of its own.
std::string job(const Renderers& r, int k) {
    const int width = 41 + 3 * k;
    const int height = 29 + k;
    const std::vector<unsigned char> rgb = photo_like_rgb(width, height, 100 + k);
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    std::string out;

    UlmaSettings settings;
    ulma_default_settings(&settings);
    settings.version = k % 4 == 3 ? ULMA_VERSION_0301 : ULMA_VERSION_0302;
    settings.chroma = k % 3 == 0 ? 20.0 * k : 0.0;
    settings.lightness = k % 2 == 0 ? -5.0 : 0.0;
    settings.noise_range = k % 2 == 1 ? 9 + k : -1;
    settings.seed = 1000u + static_cast<unsigned>(k);
    std::vector<std::uint8_t> codes(pixels), proof(pixels * 3);
    const int temps[] = {5, 20, 30, -5};
    out += std::to_string(ulma_render(r.render_data, &settings, rgb.data(), width, height, temps[k % 4], codes.data(),
                                      proof.data(), nullptr));
    out.append(codes.begin(), codes.end());
    out.append(proof.begin(), proof.end());

    std::vector<std::uint8_t> tcon(pixels * 3), aoi(pixels * 3), simulation(pixels * 3);
    const int dither = k % 6;
    const std::int32_t status = k % 3 == 2
                                    ? Ovex_Morva6_render_All(rgb.data(), 1, tcon.data(), aoi.data(), simulation.data(),
                                                             nullptr, width, height, dither)
                                    : Ovex_context_render_All(&r.contexts[k % 2], rgb.data(), 1, tcon.data(),
                                                              aoi.data(), simulation.data(), width, height, dither);
    out += std::to_string(status);
    for (const auto* plane : {&tcon, &aoi, &simulation}) out.append(plane->begin(), plane->end());
    return out;
}

TEST(Threads, BothEnginesGiveTheBytesOfOneAfterAnother) {
    TempDir dir;
    UlmaRenderData* render_data = nullptr;
    ASSERT_EQ(ulma_open(make_render_data(dir.path()).c_str(), &render_data, nullptr), ULMA_OK);
    std::vector<std::uint8_t> lut_a = test_support::identity_lut();
    std::vector<std::uint8_t> lut_b = lut_a;
    for (int byte = 0; byte < 18; ++byte) lut_b[byte] = static_cast<std::uint8_t>(lut_a[(byte + 3) % 18] ^ 0x21);
    OvexRenderContext contexts[2];
    ASSERT_EQ(Ovex_context_init(&contexts[0], lut_a.data(), OVEX_LUT_FILE_SIZE), OVEX_OK);
    ASSERT_EQ(Ovex_context_init(&contexts[1], lut_b.data(), OVEX_LUT_FILE_SIZE), OVEX_OK);
    ASSERT_EQ(Ovex_Morva6_render_init(lut_b.data(), OVEX_LUT_FILE_SIZE), OVEX_OK);
    const Renderers renderers{render_data, contexts};

    std::vector<std::string> one_after_another;
    for (int k = 0; k < kJobs; ++k) one_after_another.push_back(job(renderers, k));
    std::vector<std::string> at_once(kJobs);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                for (int k = t; k < kJobs; k += kThreads) at_once[k] = job(renderers, k);
            });
    }
    for (int k = 0; k < kJobs; ++k) {
        EXPECT_EQ(one_after_another[k][0], '0') << "job " << k;  // rendered
        EXPECT_TRUE(at_once[k] == one_after_another[k]) << "job " << k;
    }
    // The two contexts and the settings really differ between jobs.
    EXPECT_NE(one_after_another[0].substr(0, 200), one_after_another[1].substr(0, 200));
    ulma_close(render_data);
}

// One eight-colour picture on several threads gives the bytes of one thread
// (whose bytes the golden tests hold): single rows and columns, fewer rows
// than threads, odd sizes, with and without the adjustment and the noise.
TEST(Threads, EightColoursOnManyThreadsGiveTheBytesOfOne) {
    TempDir dir;
    UlmaRenderData* render_data = nullptr;
    ASSERT_EQ(ulma_open(make_render_data(dir.path()).c_str(), &render_data, nullptr), ULMA_OK);
    struct Case {
        int width, height;
        double chroma;
        int noise;
    };
    const Case cases[] = {{1, 1, 0, -1}, {1, 40, 0, -1},    {40, 1, 0, -1}, {5, 2, 0, -1},   {2, 5, 30, 7},
                          {3, 3, 0, -1}, {301, 7, -20, -1}, {97, 61, 0, 9}, {64, 64, 0, -1}, {131, 97, 25, -1}};
    for (const Case& c : cases) {
        const std::vector<unsigned char> rgb = photo_like_rgb(c.width, c.height, 7 + c.width);
        UlmaSettings settings;
        ulma_default_settings(&settings);
        settings.chroma = c.chroma;
        settings.noise_range = c.noise;
        const std::size_t pixels = static_cast<std::size_t>(c.width) * c.height;
        std::vector<std::uint8_t> codes_one(pixels), proof_one(pixels * 3);
        ulma_set_threads(1);
        ASSERT_EQ(ulma_render(render_data, &settings, rgb.data(), c.width, c.height, 25, codes_one.data(),
                              proof_one.data(), nullptr),
                  ULMA_OK);
        for (const int threads : {2, 3, 7}) {
            ulma_set_threads(threads);
            std::vector<std::uint8_t> codes(pixels), proof(pixels * 3);
            ASSERT_EQ(ulma_render(render_data, &settings, rgb.data(), c.width, c.height, 25, codes.data(), proof.data(),
                                  nullptr),
                      ULMA_OK);
            EXPECT_TRUE(codes == codes_one && proof == proof_one)
                << c.width << "x" << c.height << " at " << threads << " threads";
        }
    }
    ulma_set_threads(0);
    EXPECT_EQ(ulma_threads(), morva6_threads());
    ulma_close(render_data);
}

}  // namespace
