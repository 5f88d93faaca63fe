/* Morva6 six-ink rendering library: the exported C interface.
 *
 * A picture is width x height pixels of three bytes, row after row from the
 * top row, no padding. A channel-order flag of 1 means the bytes of a pixel
 * are blue, green, red (the order of a 24-bit BMP); 0 means red, green, blue.
 *
 * The library keeps one process-wide render context, installed by
 * Ovex_Morva6_render_init from the bytes of a LUT file. The context points
 * into the caller's block, which must stay allocated and unchanged until the
 * next successful initialisation. Initialisation must not overlap a render
 * call; render calls only read the context, and hold no other state, so
 * several may run at once. Callers that need several contexts keep their own
 * (OvexRenderContext). */
#ifndef MORVA6_MORVA6_H
#define MORVA6_MORVA6_H

#include <stdint.h>

#if defined(__GNUC__)
#define MORVA6_API __attribute__((visibility("default")))
#else
#define MORVA6_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes of the library entry points. */
enum {
    OVEX_OK = 0,
    /* The LUT block is not OVEX_LUT_FILE_SIZE bytes long; the context is unchanged. */
    OVEX_ERR_LUT_SIZE = 3,
    /* Unknown dithering method (render calls) or transfer mode (TFT transfer). */
    OVEX_ERR_UNKNOWN_METHOD = 13,
    /* A render call before any successful Ovex_Morva6_render_init. */
    OVEX_ERR_NOT_INITIALISED = 21,
    /* A channel-order flag other than 0 or 1. */
    OVEX_ERR_CHANNEL_ORDER = 22,
    /* width x height x 4 does not fit a signed 32-bit integer, or (TFT
     * transfer) a size below 1. */
    OVEX_ERR_BAD_SIZE = 23,
    /* A work buffer could not be allocated; output is untouched. */
    OVEX_ERR_NO_MEMORY = 24
};

/* LUT file: six ink colours (blue, green, red each) then 64 x 64 x 64 entries. */
#define OVEX_LUT_FILE_SIZE 786450

/* Dithering method codes. */
enum {
    OVEX_DITHER_FLOYD = 0,
    OVEX_DITHER_FLOYD_SERPENTINE = 1,
    OVEX_DITHER_JARVIS = 2,
    OVEX_DITHER_JARVIS_SERPENTINE = 3,
    OVEX_DITHER_STUCKI = 4,
    OVEX_DITHER_STUCKI_SERPENTINE = 5
};

/* Output modes. */
enum {
    OVEX_MODE_TCON = 1,      /* timing-controller code in all three bytes */
    OVEX_MODE_AOI = 2,       /* ideal ink colour */
    OVEX_MODE_SIMULATION = 3 /* measured ink colour from the LUT file */
};

/* Installs a LUT file's bytes as the render context. Returns OVEX_OK or
 * OVEX_ERR_LUT_SIZE. The block must outlive every later render call. */
MORVA6_API int32_t Ovex_Morva6_render_init(const uint8_t* lut, int32_t size);

/* Maps input through the colour table, dithers it onto the six inks with
 * method `dither` (OVEX_DITHER_*, 0..5) and writes output in `mode`
 * (OVEX_MODE_*, 1..3): width x height pixels of three bytes each way.
 * input_is_bgr gives the channel order of input, output_is_bgr that of
 * output (modes 2 and 3). Input is read completely before output is
 * written, so input and output may be the same buffer.
 *
 * Checks, in this order; each failure returns at once with output untouched:
 *   1. no successful Ovex_Morva6_render_init yet  -> OVEX_ERR_NOT_INITIALISED
 *   2. a channel-order flag other than 0 or 1 (either flag, whatever the
 *      mode)                                       -> OVEX_ERR_CHANNEL_ORDER
 *   3. width and height both positive but width x height x 4 past
 *      INT32_MAX                                   -> OVEX_ERR_BAD_SIZE
 *   4. dither outside 0..5                         -> OVEX_ERR_UNKNOWN_METHOD
 *   5. width or height below 1, or mode outside 1..3: nothing is written,
 *      OVEX_OK.
 * A work buffer that cannot be allocated gives OVEX_ERR_NO_MEMORY, output
 * untouched. Otherwise output is written and the result is OVEX_OK. */
MORVA6_API int32_t Ovex_Morva6_render(const uint8_t* input, int32_t input_is_bgr, uint8_t* output,
                                      int32_t output_is_bgr, int32_t width, int32_t height, int32_t dither,
                                      int32_t mode);

/* One look-up and one dithering pass, written in all three output modes:
 * byte for byte the outputs of Ovex_Morva6_render with modes 1, 2 and 3 and
 * `is_bgr` as both flags. `reserved` is never read. Checks and results as
 * for Ovex_Morva6_render (there is no mode to check); on any failure none
 * of the three outputs is touched. */
MORVA6_API int32_t Ovex_Morva6_render_All(const uint8_t* input, int32_t is_bgr, uint8_t* output_tcon,
                                          uint8_t* output_aoi, uint8_t* output_simulation, void* reserved,
                                          int32_t width, int32_t height, int32_t dither);

/* The TFT format transfer of Morva6_render's -t, for programs that link the
 * library: rearranges a rendered picture (three bytes a pixel) for a TFT
 * driving scheme. Modes 1 and 2 fold each pair of rows into one row of twice
 * the width (upper row first in mode 1, lower row first in mode 2; an
 * unpaired last row is dropped); 3 swaps rows 2k and 2k + 1; 4 and 5 unfold
 * each row into a pair of rows of half the width (even columns in the upper
 * row in mode 4, in the lower row in mode 5; an unpaired last column is
 * dropped). The new size is written through width and height. Returns
 * OVEX_OK; OVEX_ERR_UNKNOWN_METHOD for a mode outside 1..5;
 * OVEX_ERR_BAD_SIZE for a null pointer, a size below 1 or width x height x 4
 * beyond int32; OVEX_ERR_NO_MEMORY. On failure nothing changes. */
MORVA6_API int32_t Ovex_TFT_transfer(uint8_t* buffer, int32_t* width, int32_t* height, int32_t mode);

/* A render context of the caller's own: the same calls on it instead of the
 * process-wide one, so that pictures can be rendered with different LUT
 * files in several threads at once (the process-wide context may be used
 * alongside). The context points into the caller's LUT block like the
 * process-wide one. */
typedef struct OvexRenderContext {
    uint8_t bgr_op[18];  /* the six ink colours, each blue, green, red */
    const uint8_t* glut; /* the first table entry in the caller's block */
} OvexRenderContext;

/* Ovex_Morva6_render_init into `context`: OVEX_OK, or OVEX_ERR_LUT_SIZE
 * (also for a null context) with the context unchanged. */
MORVA6_API int32_t Ovex_context_init(OvexRenderContext* context, const uint8_t* lut, int32_t size);
/* Ovex_Morva6_render and Ovex_Morva6_render_All with `context`; a null or
 * never initialised context gives OVEX_ERR_NOT_INITIALISED. */
MORVA6_API int32_t Ovex_context_render(const OvexRenderContext* context, const uint8_t* input, int32_t input_is_bgr,
                                       uint8_t* output, int32_t output_is_bgr, int32_t width, int32_t height,
                                       int32_t dither, int32_t mode);
MORVA6_API int32_t Ovex_context_render_All(const OvexRenderContext* context, const uint8_t* input, int32_t is_bgr,
                                           uint8_t* output_tcon, uint8_t* output_aoi, uint8_t* output_simulation,
                                           int32_t width, int32_t height, int32_t dither);

/* Ovex_context_render that also hands out the ink index of every pixel (0
 * black, 1 white, 2 yellow, 3 red, 4 green, 5 blue): `indices` receives
 * width x height bytes from the same dithering pass; `output` receives the
 * picture of `mode` as Ovex_context_render writes it, unless it is null or
 * mode is outside 1..3. `indices` must not overlap `input`. Checks and
 * results as Ovex_context_render; a null `indices` for a picture of at
 * least one pixel gives OVEX_ERR_BAD_SIZE. */
MORVA6_API int32_t Ovex_context_render_indices(const OvexRenderContext* context, const uint8_t* input,
                                               int32_t input_is_bgr, uint8_t* indices, uint8_t* output,
                                               int32_t output_is_bgr, int32_t width, int32_t height, int32_t dither,
                                               int32_t mode);

/* Hue (degrees), saturation, brightness, contrast (-100..100) in the HSL
 * model, then gamma (gamma != 1.0) on the output bytes; other values are used
 * as they are. Each pixel is read before it is written, so input and output
 * may be the same buffer. A width or height below 1 returns OVEX_OK and
 * touches nothing. Returns OVEX_OK; OVEX_ERR_CHANNEL_ORDER when either
 * channel-order flag is other than 0 or 1; OVEX_ERR_BAD_SIZE when
 * width x height x 4 does not fit int32. On failure nothing is read or
 * written. Gamma results no integer can hold (NaN gamma, negative gamma on
 * a 0 byte) give byte 0. */
MORVA6_API int32_t Ovex_image_adjustment(const uint8_t* input, int32_t input_is_bgr, uint8_t* output,
                                         int32_t output_is_bgr, int32_t width, int32_t height, int32_t hue,
                                         int32_t saturation, int32_t brightness, int32_t contrast, double gamma);

/* Threads of a render call. Ovex_Morva6_render and Ovex_Morva6_render_All
 * use up to this many threads for one picture (never more than it has rows);
 * the output is byte for byte the same at any count. The default is the
 * number of cores the process may run on, at most 8, or the value of the
 * environment variable MORVA6_THREADS (a whole number, 1 or more) when it
 * is set. morva6_set_threads(n) with n >= 1 replaces both for the whole
 * process (counts above 256 count as 256); n <= 0 returns to the default.
 * It may be called at any time, also while renders run: each call takes
 * the count once when it starts. morva6_threads() gives the count a render
 * call would use now. */
MORVA6_API void morva6_set_threads(int32_t count);
MORVA6_API int32_t morva6_threads(void);

/* The library's version history; static text, neither freed nor changed. */
MORVA6_API const char* Ovex_get_updateLog(void);

#ifdef __cplusplus
}
#endif

#endif
