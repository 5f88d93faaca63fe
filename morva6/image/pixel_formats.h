// Per-pixel layouts of the stream formats: how one pixel of each layout is
// made from blue, green, red, and how it turns back into them. The pixel
// streams and the whole-picture converters both run these, so a layout is
// described exactly once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morva6::pixel_formats {

// Each layout has `bytes` per pixel, `from_bgr` (write one pixel of the layout
// from three bytes blue, green, red) and/or `to_bgr` (the reverse). A layout
// lacks the direction that the stream formats do not support.

struct Gray {
    static constexpr int bytes = 1;
    // Mean of the three channels, remainder dropped.
    static void from_bgr(std::uint8_t* out, const std::uint8_t* bgr) {
        out[0] = static_cast<std::uint8_t>((bgr[0] + bgr[1] + bgr[2]) / 3);
    }
    static void to_bgr(std::uint8_t* bgr, const std::uint8_t* in) {
        bgr[0] = in[0];
        bgr[1] = in[0];
        bgr[2] = in[0];
    }
};

struct Rgb {
    static constexpr int bytes = 3;
    static void from_bgr(std::uint8_t* out, const std::uint8_t* bgr) {
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
    }
    static void to_bgr(std::uint8_t* bgr, const std::uint8_t* in) {
        bgr[0] = in[2];
        bgr[1] = in[1];
        bgr[2] = in[0];
    }
};

struct Bgr {
    static constexpr int bytes = 3;
    static void from_bgr(std::uint8_t* out, const std::uint8_t* bgr) {
        out[0] = bgr[0];
        out[1] = bgr[1];
        out[2] = bgr[2];
    }
    static void to_bgr(std::uint8_t* bgr, const std::uint8_t* in) { from_bgr(bgr, in); }
};

// The fourth byte of RGBA and BGRA is neither written nor read.
struct Rgba {
    static constexpr int bytes = 4;
    static void from_bgr(std::uint8_t* out, const std::uint8_t* bgr) { Rgb::from_bgr(out, bgr); }
    static void to_bgr(std::uint8_t* bgr, const std::uint8_t* in) { Rgb::to_bgr(bgr, in); }
};

struct Bgra {
    static constexpr int bytes = 4;
    static void from_bgr(std::uint8_t* out, const std::uint8_t* bgr) { Bgr::from_bgr(out, bgr); }
    static void to_bgr(std::uint8_t* bgr, const std::uint8_t* in) { Bgr::from_bgr(bgr, in); }
};

// ARGB and ABGR start with a zero byte; they are only ever produced.
struct Argb {
    static constexpr int bytes = 4;
    static void from_bgr(std::uint8_t* out, const std::uint8_t* bgr) {
        out[0] = 0;
        Rgb::from_bgr(out + 1, bgr);
    }
};

struct Abgr {
    static constexpr int bytes = 4;
    static void from_bgr(std::uint8_t* out, const std::uint8_t* bgr) {
        out[0] = 0;
        Bgr::from_bgr(out + 1, bgr);
    }
};

// One grey value shown in a single channel; only ever consumed.
template <int Channel>  // 0 blue, 1 green, 2 red
struct GrayIn {
    static constexpr int bytes = 1;
    static void to_bgr(std::uint8_t* bgr, const std::uint8_t* in) {
        bgr[0] = 0;
        bgr[1] = 0;
        bgr[2] = 0;
        bgr[Channel] = in[0];
    }
};
using GrayR = GrayIn<2>;
using GrayG = GrayIn<1>;
using GrayB = GrayIn<0>;

// `count` pixels of BGR into `Layout`, in order.
template <class Layout>
void bgr_to_layout(std::uint8_t* dst, const std::uint8_t* bgr, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        Layout::from_bgr(dst + i * Layout::bytes, bgr + i * 3);
    }
}

// `count` pixels of `Layout` into BGR, in order.
template <class Layout>
void layout_to_bgr(std::uint8_t* bgr, const std::uint8_t* src, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        Layout::to_bgr(bgr + i * 3, src + i * Layout::bytes);
    }
}

}  // namespace morva6::pixel_formats
