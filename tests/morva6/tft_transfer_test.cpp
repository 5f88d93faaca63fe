#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include <morva6/morva6.h>

#include "morva6/tft_transfer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Pixel (r, c) of a test picture holds three bytes unique to it, all
// different from each other, so a pixel moved in pieces or in the wrong
// byte order shows.
Bytes tag(int r, int c) {
    return {std::uint8_t(r), std::uint8_t(c), std::uint8_t(0x80 | (r * 7 + c * 3))};
}

Bytes tagged_picture(int w, int h) {
    Bytes picture;
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const Bytes px = tag(r, c);
            picture.insert(picture.end(), px.begin(), px.end());
        }
    }
    return picture;
}

Bytes pixel(const Bytes& picture, int w, int r, int c) {
    const auto at = picture.begin() + (static_cast<std::ptrdiff_t>(r) * w + c) * 3;
    return {at, at + 3};
}

struct Transfer {
    std::int32_t status, width, height;
    Bytes picture;
};

Transfer run(Bytes picture, int w, int h, int mode) {
    std::int32_t width = w, height = h;
    const std::int32_t status = Ovex_TFT_format_transfer(picture.data(), &width, &height, mode);
    return {status, width, height, std::move(picture)};
}

// ---- Worked examples: one letter per pixel, repeated over its three bytes ----

Bytes letters(std::string_view text) {
    Bytes picture;
    for (const char letter : text) picture.insert(picture.end(), 3, std::uint8_t(letter));
    return picture;
}

struct Worked {
    const char* in;
    int w, h, mode;
    const char* out;  // the whole buffer afterwards
    int result_w, result_h;
};

TEST(TftTransfer, WorkedExamples) {
    const Worked cases[] = {
        {"abcd", 2, 2, 1, "acbd", 4, 1},     {"abcd", 2, 2, 2, "cadb", 4, 1},
        {"abcd", 4, 1, 4, "acbd", 2, 2},     {"abcd", 4, 1, 5, "bdac", 2, 2},
        {"abcdef", 2, 3, 3, "cdabef", 2, 3}, {"abcdef", 2, 3, 1, "acbdef", 4, 1},
        {"abcde", 5, 1, 4, "acbde", 2, 2},   {"abcde", 5, 1, 5, "bdace", 2, 2},
        {"abc", 3, 1, 1, "abc", 6, 0},       {"abc", 1, 3, 4, "abc", 0, 6},
    };
    for (const Worked& c : cases) {
        const Transfer t = run(letters(c.in), c.w, c.h, c.mode);
        EXPECT_EQ(t.status, 0);
        EXPECT_EQ(t.picture, letters(c.out)) << c.in << " mode " << c.mode;
        EXPECT_EQ(t.width, c.result_w);
        EXPECT_EQ(t.height, c.result_h);
    }
}

// ---- Every pixel where the forward rules put it, odd and even sizes ----

struct SizeCase {
    int w, h;
};

class TftTransferSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(TftTransferSizes, FoldsPlaceEveryPairedRow) {
    const auto [w, h] = GetParam();
    for (const int mode : {1, 2}) {
        const Transfer t = run(tagged_picture(w, h), w, h, mode);
        ASSERT_EQ(t.status, 0);
        ASSERT_EQ(t.width, 2 * w);
        ASSERT_EQ(t.height, h / 2);
        for (int r = 0; r < h / 2 * 2; ++r) {
            for (int c = 0; c < w; ++c) {
                const int column = 2 * c + (mode == 1 ? r % 2 : (r + 1) % 2);
                EXPECT_EQ(pixel(t.picture, t.width, r / 2, column), tag(r, c)) << "mode " << mode;
            }
        }
        // The dropped odd row is left where it was behind the result.
        if (h % 2 == 1) {
            EXPECT_EQ(pixel(t.picture, w, h - 1, w - 1), tag(h - 1, w - 1));
        }
    }
}

TEST_P(TftTransferSizes, UnfoldsPlaceEveryPairedColumn) {
    const auto [w, h] = GetParam();
    for (const int mode : {4, 5}) {
        const Transfer t = run(tagged_picture(w, h), w, h, mode);
        ASSERT_EQ(t.status, 0);
        ASSERT_EQ(t.width, w / 2);
        ASSERT_EQ(t.height, 2 * h);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w / 2 * 2; ++c) {
                const int row = 2 * r + (mode == 4 ? c % 2 : (c + 1) % 2);
                EXPECT_EQ(pixel(t.picture, t.width, row, c / 2), tag(r, c)) << "mode " << mode;
            }
        }
    }
}

TEST_P(TftTransferSizes, GateSwapUndoesItself) {
    const auto [w, h] = GetParam();
    const Bytes original = tagged_picture(w, h);
    const Transfer once = run(original, w, h, 3);
    ASSERT_EQ(once.status, 0);
    EXPECT_EQ(once.width, w);
    EXPECT_EQ(once.height, h);
    for (int r = 0; r < h; ++r) {
        const int source = (h % 2 == 1 && r == h - 1) ? r : r ^ 1;
        EXPECT_EQ(pixel(once.picture, w, r, w - 1), tag(source, w - 1)) << "row " << r;
    }
    EXPECT_EQ(run(once.picture, w, h, 3).picture, original);
}

INSTANTIATE_TEST_SUITE_P(OddAndEven, TftTransferSizes,
                         testing::Values(SizeCase{5, 3}, SizeCase{4, 1}, SizeCase{1, 3},
                                         SizeCase{2, 2}, SizeCase{1, 1}, SizeCase{6, 4},
                                         SizeCase{7, 5}),
                         [](const auto& info) {
                             const SizeCase& size = info.param;
                             return std::to_string(size.w) + "x" + std::to_string(size.h);
                         });

TEST(TftTransfer, RoundTripsRestorePictureAndSize) {
    for (const auto& [fold, unfold] : {std::pair{1, 4}, {2, 5}}) {
        const Bytes original = tagged_picture(5, 4);
        const Transfer there = run(original, 5, 4, fold);
        const Transfer back = run(there.picture, there.width, there.height, unfold);
        EXPECT_EQ(back.width, 5);
        EXPECT_EQ(back.height, 4);
        EXPECT_EQ(back.picture, original) << "modes " << fold << " then " << unfold;
    }
}

// ---- Refusals: picture and sizes unchanged ----

TEST(TftTransfer, UnknownModeRefusedFirst) {
    const Bytes original = tagged_picture(2, 2);
    for (const int mode : {0, 6, -1, std::numeric_limits<std::int32_t>::min(), 1000}) {
        const Transfer t = run(original, 2, 2, mode);
        EXPECT_EQ(t.status, OVEX_ERR_UNKNOWN_METHOD);
        EXPECT_EQ(t.width, 2);
        EXPECT_EQ(t.height, 2);
        EXPECT_EQ(t.picture, original);
        // The mode is judged before the sizes.
        EXPECT_EQ(run(original, 0, -5, mode).status, OVEX_ERR_UNKNOWN_METHOD);
    }
}

TEST(TftTransfer, BadSizesRefusedUntouched) {
    const Bytes original = tagged_picture(2, 2);
    for (const auto& [w, h] : {std::pair{0, 2}, {2, 0}, {-2, 2}, {2, -1}, {-4, -4},
                              {30000, 30000}, {65536, 8192}}) {
        for (int mode = 1; mode <= 5; ++mode) {
            const Transfer t = run(original, w, h, mode);
            EXPECT_EQ(t.status, OVEX_ERR_BAD_SIZE) << w << "x" << h << " mode " << mode;
            EXPECT_EQ(t.width, w);
            EXPECT_EQ(t.height, h);
            EXPECT_EQ(t.picture, original);
        }
    }
}

TEST(TftTransfer, NullPointersRefused) {
    Bytes picture = tagged_picture(2, 2);
    std::int32_t w = 2, h = 2;
    EXPECT_EQ(Ovex_TFT_format_transfer(nullptr, &w, &h, 1), OVEX_ERR_BAD_SIZE);
    EXPECT_EQ(Ovex_TFT_format_transfer(picture.data(), nullptr, &h, 1), OVEX_ERR_BAD_SIZE);
    EXPECT_EQ(Ovex_TFT_format_transfer(picture.data(), &w, nullptr, 3), OVEX_ERR_BAD_SIZE);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
}

}  // namespace
