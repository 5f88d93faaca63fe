// Geometric transforms: index maps on odd sizes and 1/3/4-byte pixels, round
// trips, the documented small examples, and refused arguments that must
// leave the picture untouched.
#include <gtest/gtest.h>

#include <morva6/morva6_image.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <tuple>
#include <vector>

namespace {

struct FreeDeleter {
    void operator()(std::uint8_t* block) const { std::free(block); }
};
using MallocPtr = std::unique_ptr<std::uint8_t, FreeDeleter>;

using Bytes = std::vector<std::uint8_t>;

// A malloc'd picture whose bytes all differ (for pictures under 256 bytes).
struct Picture {
    MallocPtr data;
    std::int32_t width;
    std::int32_t height;
    std::int32_t channels;

    Picture(std::int32_t w, std::int32_t h, std::int32_t ch) : width(w), height(h), channels(ch) {
        const std::size_t n = bytes();
        data.reset(static_cast<std::uint8_t*>(std::malloc(n == 0 ? 1 : n)));
        for (std::size_t i = 0; i < n; ++i) data.get()[i] = static_cast<std::uint8_t>(i + 1);
    }
    std::size_t bytes() const { return std::size_t(width) * height * channels; }
    Bytes content() const { return Bytes(data.get(), data.get() + bytes()); }
    Bytes pixel(std::int32_t r, std::int32_t c) const { return pixel_of(content(), width, channels, r, c); }

    static Bytes pixel_of(const Bytes& b, std::int32_t w, std::int32_t ch, std::int32_t r, std::int32_t c) {
        const auto* p = b.data() + (std::size_t(r) * w + c) * ch;
        return Bytes(p, p + ch);
    }
};

// ---- index maps, for every size and channel count in the table ----

using Shape = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // width, height, channels

class TransformMaps : public ::testing::TestWithParam<Shape> {
protected:
    Picture make() const {
        auto [w, h, ch] = GetParam();
        return Picture(w, h, ch);
    }
};

TEST_P(TransformMaps, QuarterTurnsMoveEveryPixel) {
    Picture pic = make();
    const Bytes before = pic.content();
    const std::int32_t W = pic.width, H = pic.height, ch = pic.channels;

    ASSERT_EQ(img_rotation90_QW(pic.data.get(), &pic.width, &pic.height, ch), 0);
    ASSERT_EQ(pic.width, H);
    ASSERT_EQ(pic.height, W);
    for (std::int32_t r = 0; r < W; ++r)
        for (std::int32_t c = 0; c < H; ++c)
            ASSERT_EQ(pic.pixel(r, c), Picture::pixel_of(before, W, ch, H - 1 - c, r)) << r << "," << c;

    Picture other = make();
    ASSERT_EQ(img_rotation270_QW(other.data.get(), &other.width, &other.height, ch), 0);
    ASSERT_EQ(other.width, H);
    ASSERT_EQ(other.height, W);
    for (std::int32_t r = 0; r < W; ++r)
        for (std::int32_t c = 0; c < H; ++c)
            ASSERT_EQ(other.pixel(r, c), Picture::pixel_of(before, W, ch, c, W - 1 - r)) << r << "," << c;
}

TEST_P(TransformMaps, HalfTurnFlipAndMirror) {
    const Picture original = make();
    const Bytes before = original.content();
    const std::int32_t W = original.width, H = original.height, ch = original.channels;

    Picture half = make();
    ASSERT_EQ(img_rotation180_QW(half.data.get(), &half.width, &half.height, ch), 0);
    Picture flipped = make();
    ASSERT_EQ(img_flipped_QW(flipped.data.get(), W, H, ch), 0);
    Picture mirrored = make();
    ASSERT_EQ(img_mirror_QW(mirrored.data.get(), W, H, ch), 0);
    EXPECT_EQ(half.width, W);
    EXPECT_EQ(half.height, H);
    for (std::int32_t r = 0; r < H; ++r) {
        for (std::int32_t c = 0; c < W; ++c) {
            EXPECT_EQ(half.pixel(r, c), Picture::pixel_of(before, W, ch, H - 1 - r, W - 1 - c));
            EXPECT_EQ(flipped.pixel(r, c), Picture::pixel_of(before, W, ch, H - 1 - r, c));
            EXPECT_EQ(mirrored.pixel(r, c), Picture::pixel_of(before, W, ch, r, W - 1 - c));
        }
    }
}

TEST_P(TransformMaps, RoundTripsRestoreThePicture) {
    Picture pic = make();
    const Bytes before = pic.content();
    const std::int32_t W = pic.width, H = pic.height, ch = pic.channels;
    auto* p = pic.data.get();

    ASSERT_EQ(img_rotation90_QW(p, &pic.width, &pic.height, ch), 0);
    ASSERT_EQ(img_rotation270_QW(p, &pic.width, &pic.height, ch), 0);
    EXPECT_EQ(pic.content(), before);
    EXPECT_EQ(pic.width, W);
    EXPECT_EQ(pic.height, H);

    for (int i = 0; i < 4; ++i) ASSERT_EQ(img_rotation90_QW(p, &pic.width, &pic.height, ch), 0);
    EXPECT_EQ(pic.content(), before);

    ASSERT_EQ(img_rotation180_QW(p, &pic.width, &pic.height, ch), 0);
    ASSERT_EQ(img_rotation180_QW(p, &pic.width, &pic.height, ch), 0);
    EXPECT_EQ(pic.content(), before);

    ASSERT_EQ(img_flipped_QW(p, W, H, ch), 0);
    ASSERT_EQ(img_flipped_QW(p, W, H, ch), 0);
    EXPECT_EQ(pic.content(), before);

    ASSERT_EQ(img_mirror_QW(p, W, H, ch), 0);
    ASSERT_EQ(img_mirror_QW(p, W, H, ch), 0);
    EXPECT_EQ(pic.content(), before);

    // A half turn is a flip plus a mirror.
    ASSERT_EQ(img_flipped_QW(p, W, H, ch), 0);
    ASSERT_EQ(img_mirror_QW(p, W, H, ch), 0);
    ASSERT_EQ(img_rotation180_QW(p, &pic.width, &pic.height, ch), 0);
    EXPECT_EQ(pic.content(), before);
}

TEST_P(TransformMaps, CropCopiesTheRectangle) {
    const Picture pic = make();
    const std::int32_t W = pic.width, H = pic.height, ch = pic.channels;

    std::uint8_t* out = nullptr;
    std::int32_t ow = -1, oh = -1;
    ASSERT_EQ(img_crop_QW(pic.data.get(), W, H, ch, &out, &ow, &oh, 0, 0, W, H), 0);
    MallocPtr whole(out);
    EXPECT_EQ(ow, W);
    EXPECT_EQ(oh, H);
    EXPECT_EQ(Bytes(out, out + pic.bytes()), pic.content());

    // The inner rectangle without the first column and row.
    ASSERT_EQ(img_crop_QW(pic.data.get(), W, H, ch, &out, &ow, &oh, 1, 1, W, H), 0);
    MallocPtr inner(out);
    ASSERT_EQ(ow, W - 1);
    ASSERT_EQ(oh, H - 1);
    const Bytes cropped(out, out + std::size_t(ow) * oh * ch);
    for (std::int32_t r = 0; r < oh; ++r)
        for (std::int32_t c = 0; c < ow; ++c)
            EXPECT_EQ(Picture::pixel_of(cropped, ow, ch, r, c), pic.pixel(r + 1, c + 1));
}

TEST_P(TransformMaps, PaddingThenCropGivesThePictureBack) {
    Picture pic = make();
    const Bytes before = pic.content();
    const std::int32_t W = pic.width, H = pic.height, ch = pic.channels;

    std::uint8_t* p = pic.data.release();
    ASSERT_EQ(img_padding_QW(&p, &pic.width, &pic.height, ch, 2, 1, 3, 4), 0);
    pic.data.reset(p);
    ASSERT_EQ(pic.width, W + 5);
    ASSERT_EQ(pic.height, H + 5);
    const Bytes padded = pic.content();
    for (std::int32_t r = 0; r < pic.height; ++r) {
        for (std::int32_t c = 0; c < pic.width; ++c) {
            const bool inside = r >= 1 && r < 1 + H && c >= 2 && c < 2 + W;
            const Bytes got = Picture::pixel_of(padded, pic.width, ch, r, c);
            if (inside)
                EXPECT_EQ(got, Picture::pixel_of(before, W, ch, r - 1, c - 2));
            else
                EXPECT_EQ(got, Bytes(ch, 0)) << r << "," << c;
        }
    }

    std::uint8_t* out = nullptr;
    std::int32_t ow = 0, oh = 0;
    ASSERT_EQ(img_crop_QW(p, pic.width, pic.height, ch, &out, &ow, &oh, 2, 1, 2 + W, 1 + H), 0);
    MallocPtr back(out);
    EXPECT_EQ(ow, W);
    EXPECT_EQ(oh, H);
    EXPECT_EQ(Bytes(out, out + before.size()), before);
}

TEST_P(TransformMaps, ResizeToTheSameSizeAndByWholeFactors) {
    Picture pic = make();
    const Bytes before = pic.content();
    const std::int32_t W = pic.width, H = pic.height, ch = pic.channels;

    std::uint8_t* p = pic.data.release();
    ASSERT_EQ(img_resize_QW(&p, &pic.width, &pic.height, W, H, ch), 0);
    pic.data.reset(p);
    EXPECT_EQ(pic.content(), before);

    p = pic.data.release();
    ASSERT_EQ(img_resize_QW(&p, &pic.width, &pic.height, 2 * W, 3 * H, ch), 0);
    pic.data.reset(p);
    ASSERT_EQ(pic.width, 2 * W);
    ASSERT_EQ(pic.height, 3 * H);
    for (std::int32_t r = 0; r < pic.height; ++r)
        for (std::int32_t c = 0; c < pic.width; ++c)
            EXPECT_EQ(pic.pixel(r, c), Picture::pixel_of(before, W, ch, r / 3, c / 2));
}

INSTANTIATE_TEST_SUITE_P(OddSizes, TransformMaps,
                         ::testing::Combine(::testing::Values(1, 3, 5), ::testing::Values(1, 2, 3),
                                            ::testing::Values(1, 3, 4)));
INSTANTIATE_TEST_SUITE_P(Wide, TransformMaps,
                         ::testing::Values(Shape{7, 1, 3}, Shape{1, 7, 4}, Shape{6, 4, 1}));

// ---- the small documented examples ----

TEST(TransformExamples, QuarterTurnsOfOneRow) {
    const std::uint8_t P = 10, Q = 20;
    Picture pic(2, 1, 1);
    pic.data.get()[0] = P;
    pic.data.get()[1] = Q;
    ASSERT_EQ(img_rotation90_QW(pic.data.get(), &pic.width, &pic.height, 1), 0);
    EXPECT_EQ(pic.width, 1);
    EXPECT_EQ(pic.height, 2);
    EXPECT_EQ(pic.content(), (Bytes{P, Q}));

    Picture other(2, 1, 1);
    other.data.get()[0] = P;
    other.data.get()[1] = Q;
    ASSERT_EQ(img_rotation270_QW(other.data.get(), &other.width, &other.height, 1), 0);
    EXPECT_EQ(other.content(), (Bytes{Q, P}));
}

TEST(TransformExamples, HalfTurnOfTwoByTwo) {
    Picture pic(2, 2, 1);  // P, Q over S, T = 1, 2, 3, 4
    ASSERT_EQ(img_rotation180_QW(pic.data.get(), &pic.width, &pic.height, 1), 0);
    EXPECT_EQ(pic.content(), (Bytes{4, 3, 2, 1}));
}

TEST(TransformExamples, ResizeUsesDoubleQuotientsTruncated) {
    struct Case {
        std::int32_t from, to;
        std::vector<int> source_columns;
    };
    // 14 -> 18: column 9 takes source 6 although 9 x 14 / 18 is exactly 7;
    // the quotient by the double scale factor falls just below 7.
    const Case cases[] = {
        {2, 4, {0, 0, 1, 1}},
        {2, 1, {0}},
        {3, 7, {0, 0, 0, 1, 1, 2, 2}},
        {5, 2, {0, 2}},
        {14, 18, {0, 0, 1, 2, 3, 3, 4, 5, 6, 6, 7, 8, 9, 10, 10, 11, 12, 13}},
    };
    for (const Case& test : cases) {
        for (const bool vertical : {false, true}) {
            Picture pic(vertical ? 1 : test.from, vertical ? test.from : 1, 1);
            std::uint8_t* p = pic.data.release();
            const std::int32_t nw = vertical ? 1 : test.to, nh = vertical ? test.to : 1;
            ASSERT_EQ(img_resize_QW(&p, &pic.width, &pic.height, nw, nh, 1), 0);
            pic.data.reset(p);
            Bytes expected;
            for (int s : test.source_columns) expected.push_back(static_cast<std::uint8_t>(s + 1));
            EXPECT_EQ(pic.content(), expected) << test.from << " -> " << test.to << (vertical ? " rows" : " columns");
        }
    }
}

TEST(TransformExamples, CropEdges) {
    const Picture pic(3, 2, 3);
    std::uint8_t* out = nullptr;
    std::int32_t ow = -1, oh = -1;
    EXPECT_EQ(img_crop_QW(pic.data.get(), 3, 2, 3, &out, &ow, &oh, 0, 0, 4, 2), MORVA6_IMG_OUT_OF_RANGE);
    EXPECT_EQ(img_crop_QW(pic.data.get(), 3, 2, 3, &out, &ow, &oh, 0, 0, 3, 3), MORVA6_IMG_OUT_OF_RANGE);
    EXPECT_EQ(img_crop_QW(pic.data.get(), 3, 2, 3, &out, &ow, &oh, -1, 0, 2, 2), MORVA6_IMG_OUT_OF_RANGE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ow, -1);

    ASSERT_EQ(img_crop_QW(pic.data.get(), 3, 2, 3, &out, &ow, &oh, 1, 0, 1, 2), 0);
    MallocPtr empty(out);
    EXPECT_NE(out, nullptr);
    EXPECT_EQ(ow, 0);
    EXPECT_EQ(oh, 2);
}

TEST(TransformExamples, PaddingOfOnePixel) {
    Picture pic(1, 1, 3);
    std::uint8_t* p = pic.data.release();
    ASSERT_EQ(img_padding_QW(&p, &pic.width, &pic.height, 3, 1, 1, 1, 1), 0);
    pic.data.reset(p);
    ASSERT_EQ(pic.width, 3);
    ASSERT_EQ(pic.height, 3);
    Bytes expected(27, 0);
    expected[12] = 1;
    expected[13] = 2;
    expected[14] = 3;
    EXPECT_EQ(pic.content(), expected);
}

TEST(TransformExamples, EmptyPictures) {
    Picture pic(0, 3, 3);
    ASSERT_EQ(img_rotation90_QW(pic.data.get(), &pic.width, &pic.height, 3), 0);
    EXPECT_EQ(pic.width, 3);
    EXPECT_EQ(pic.height, 0);
    EXPECT_EQ(img_rotation180_QW(pic.data.get(), &pic.width, &pic.height, 3), 0);
    EXPECT_EQ(img_flipped_QW(pic.data.get(), 0, 3, 3), 0);
    EXPECT_EQ(img_mirror_QW(pic.data.get(), 3, 0, 3), 0);

    // Shrinking to nothing hands out a block the caller can free.
    Picture some(2, 2, 1);
    std::uint8_t* p = some.data.release();
    ASSERT_EQ(img_resize_QW(&p, &some.width, &some.height, 0, 5, 1), 0);
    some.data.reset(p);
    EXPECT_NE(p, nullptr);
    EXPECT_EQ(some.width, 0);
    EXPECT_EQ(some.height, 5);
    // ... but nothing can be grown out of it again.
    EXPECT_EQ(img_resize_QW(&p, &some.width, &some.height, 2, 2, 1), MORVA6_IMG_BAD_ARGUMENT);
    EXPECT_EQ(p, some.data.get());
    EXPECT_EQ(some.width, 0);

    // Padding an empty picture gives a black one.
    std::uint8_t* q = some.data.release();
    ASSERT_EQ(img_padding_QW(&q, &some.width, &some.height, 1, 1, 0, 1, 0), 0);
    some.data.reset(q);
    EXPECT_EQ(some.width, 2);
    EXPECT_EQ(some.content(), Bytes(10, 0));
}

// ---- refused arguments leave everything as it was ----

TEST(TransformRefusals, ChannelsBelowOne) {
    for (const std::int32_t channels : {0, -3}) {
        Picture pic(3, 2, 1);
        const Bytes before = pic.content();
        std::int32_t w = 3, h = 2;
        std::uint8_t* p = pic.data.get();
        EXPECT_EQ(img_resize_QW(&p, &w, &h, 6, 4, channels), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(img_rotation90_QW(p, &w, &h, channels), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(img_rotation180_QW(p, &w, &h, channels), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(img_rotation270_QW(p, &w, &h, channels), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(img_flipped_QW(p, w, h, channels), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(img_mirror_QW(p, w, h, channels), MORVA6_IMG_BAD_ARGUMENT);
        std::uint8_t* out = nullptr;
        std::int32_t ow = 0, oh = 0;
        EXPECT_EQ(img_crop_QW(p, w, h, channels, &out, &ow, &oh, 0, 0, 1, 1), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(img_padding_QW(&p, &w, &h, channels, 1, 1, 1, 1), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(p, pic.data.get());
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(w, 3);
        EXPECT_EQ(h, 2);
        EXPECT_EQ(pic.content(), before);
    }
}

TEST(TransformRefusals, ReversedCropAndNegativeBorders) {
    Picture pic(4, 3, 1);
    const Bytes before = pic.content();
    std::uint8_t* out = nullptr;
    std::int32_t ow = -1, oh = -1;
    EXPECT_EQ(img_crop_QW(pic.data.get(), 4, 3, 1, &out, &ow, &oh, 3, 0, 1, 3), MORVA6_IMG_BAD_ARGUMENT);
    EXPECT_EQ(img_crop_QW(pic.data.get(), 4, 3, 1, &out, &ow, &oh, 0, 2, 4, 1), MORVA6_IMG_BAD_ARGUMENT);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ow, -1);
    EXPECT_EQ(oh, -1);

    const std::int32_t borders[][4] = {{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, -1}};
    for (const auto& b : borders) {
        std::uint8_t* p = pic.data.get();
        std::int32_t w = 4, h = 3;
        EXPECT_EQ(img_padding_QW(&p, &w, &h, 1, b[0], b[1], b[2], b[3]), MORVA6_IMG_BAD_ARGUMENT);
        EXPECT_EQ(p, pic.data.get());
        EXPECT_EQ(w, 4);
        EXPECT_EQ(h, 3);
    }
    EXPECT_EQ(pic.content(), before);
}

TEST(TransformRefusals, OverflowingOrNegativeSizes) {
    Picture pic(2, 2, 4);
    const Bytes before = pic.content();
    std::uint8_t* p = pic.data.get();

    // The picture itself claims more bytes than a signed 32-bit count holds.
    std::int32_t w = 40000, h = 20000;
    EXPECT_EQ(img_rotation90_QW(p, &w, &h, 1), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(img_rotation180_QW(p, &w, &h, 1), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(img_flipped_QW(p, w, h, 1), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(img_mirror_QW(p, -1, 2, 1), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(w, 40000);
    // Sizes within the 4-byte rule, but not for 16-byte pixels.
    w = 16384;
    h = 16384;
    EXPECT_EQ(img_rotation270_QW(p, &w, &h, 16), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(w, 16384);

    w = 2;
    h = 2;
    EXPECT_EQ(img_resize_QW(&p, &w, &h, 50000, 50000, 4), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(img_resize_QW(&p, &w, &h, -2, 2, 4), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(img_padding_QW(&p, &w, &h, 4, INT32_MAX, 0, INT32_MAX, 0), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(img_padding_QW(&p, &w, &h, 4, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(img_padding_QW(&p, &w, &h, 4, 0, 300000000, 0, 0), MORVA6_IMG_TOO_LARGE);
    EXPECT_EQ(p, pic.data.get());
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(pic.content(), before);
}

// ---- failed allocations ----

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's shadow memory needs the address space
// Limits the process's address space to what it uses now plus `headroom`.
void cap_address_space(std::size_t headroom) {
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + headroom;
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
}

// With too little memory left for a second copy of a 64 MiB picture, every
// transform that needs one reports 2 and leaves the picture; the result is
// a bit set of the faults seen.
int transform_without_memory() {
    const std::int32_t W = 4096, H = 4096, ch = 4;
    const std::size_t bytes = std::size_t(W) * H * ch;
    auto* picture = static_cast<std::uint8_t*>(std::malloc(bytes));
    if (picture == nullptr) return 255;
    std::memset(picture, 7, bytes);
    cap_address_space(8u << 20);
    int faults = 0;
    std::int32_t w = W, h = H;
    std::uint8_t* p = picture;
    if (img_rotation90_QW(p, &w, &h, ch) != MORVA6_IMG_NO_MEMORY) faults |= 1;
    if (img_rotation270_QW(p, &w, &h, ch) != MORVA6_IMG_NO_MEMORY) faults |= 2;
    if (img_resize_QW(&p, &w, &h, W + 1, H, ch) != MORVA6_IMG_NO_MEMORY) faults |= 4;
    if (img_padding_QW(&p, &w, &h, ch, 1, 1, 1, 1) != MORVA6_IMG_NO_MEMORY) faults |= 8;
    std::uint8_t* out = nullptr;
    std::int32_t ow = 0, oh = 0;
    if (img_crop_QW(p, w, h, ch, &out, &ow, &oh, 0, 0, W, H) != MORVA6_IMG_NO_MEMORY ||
        out != nullptr || ow != 0)
        faults |= 16;
    if (p != picture || w != W || h != H) faults |= 32;
    for (std::size_t i = 0; i < bytes; ++i)
        if (picture[i] != 7) faults |= 64;
    // The in-place transforms need no memory at all.
    if (img_rotation180_QW(p, &w, &h, ch) != 0 || img_flipped_QW(p, w, h, ch) != 0 ||
        img_mirror_QW(p, w, h, ch) != 0)
        faults |= 128;
    std::fflush(stdout);
    return faults;
}

TEST(TransformMemory, FailedAllocationsLeaveThePictureAlone) {
    EXPECT_EXIT(std::_Exit(transform_without_memory()), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
