/* Ulma eight-colour rendering library: the exported C interface.
 *
 * A render-data folder (a waveform file with the temperature bands, and per
 * band a colour LUT file and a palette data file) is opened once; pictures
 * are then rendered with it at any temperature, with the settings of the
 * ulmarender program's options. The library prints nothing: each call
 * reports a status code and, in the caller's UlmaMessages, a one-line
 * message and the warnings (lines ending in '\n').
 *
 * Pictures are width x height pixels of three bytes, red, green, blue, row
 * after row from the top row, no padding. The results are those of
 * ulmarender -p: one panel-code byte per pixel (the PGM's pixel bytes) and
 * the proof colours (the proof PPM's pixel bytes).
 *
 * An opened folder is only read by ulma_render, so any number of threads
 * may render with it at once; ulma_close must not overlap them. */
#ifndef ULMA_ULMA_H
#define ULMA_ULMA_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define ULMA_API __attribute__((visibility("default")))
#else
#define ULMA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes. */
enum {
    ULMA_OK = 0,
    /* A null pointer where one is needed, or an unknown version. */
    ULMA_ERR_ARGUMENT = 1,
    /* The folder's name is unusable, or its waveform file is missing or short. */
    ULMA_ERR_RENDER_DATA = 2,
    /* width or height below 1, or width x height x 4 beyond a signed 32-bit integer. */
    ULMA_ERR_PICTURE_SIZE = 3,
    /* The band's palette data file cannot be read: nothing was rendered. */
    ULMA_ERR_PALETTE = 4,
    /* Memory ran out. */
    ULMA_ERR_NO_MEMORY = 5
};

/* The two versions of the renderer. */
enum {
    ULMA_VERSION_0302 = 302, /* ulmarender: adjustments, noise, green enhancement */
    ULMA_VERSION_0301 = 301  /* ulmarender03: the green enhancement only */
};

typedef struct UlmaSettings {
    int32_t version;     /* ULMA_VERSION_0302 or ULMA_VERSION_0301 */
    double chroma;       /* saturation offset in percent, as -c (clamped to -100..100) */
    double lightness;    /* lightness offset in percent, as -b (clamped to -100..100) */
    int32_t noise_range; /* width of the random noise per pixel, as -n; none when 0 or below */
    uint32_t seed;       /* of the noise: ulmarender uses the time of the run */
} UlmaSettings;

#define ULMA_MESSAGE_SIZE 1024

typedef struct UlmaMessages {
    char message[ULMA_MESSAGE_SIZE];  /* what the call did or why it failed */
    char warnings[ULMA_MESSAGE_SIZE]; /* one line each, empty when none */
} UlmaMessages;

typedef struct UlmaRenderData UlmaRenderData;

/* The settings of ulmarender without options: version 0302, no adjustment,
 * no noise. */
ULMA_API void ulma_default_settings(UlmaSettings* settings);

/* Opens the render-data folder `folder` (its name is the lot name, "_" and a
 * two-character version, as ULMA_SAMPLE01_TC_03). On success *data holds it
 * until ulma_close. `messages` may be null. */
ULMA_API int32_t ulma_open(const char* folder, UlmaRenderData** data, UlmaMessages* messages);

/* Renders `rgb` with the band of `temperature`: panel_codes receives
 * width x height bytes; proof_rgb, unless null, width x height x 3 bytes.
 * A band without a readable colour LUT is rendered without it and warned
 * about. `settings` may be null for the defaults; `messages` may be null. */
ULMA_API int32_t ulma_render(const UlmaRenderData* data, const UlmaSettings* settings, const uint8_t* rgb,
                             int32_t width, int32_t height, int32_t temperature, uint8_t* panel_codes,
                             uint8_t* proof_rgb, UlmaMessages* messages);

/* Releases an opened folder; null is allowed. */
ULMA_API void ulma_close(UlmaRenderData* data);

/* Threads of a render call. ulma_render uses up to this many threads for
 * one picture (never more than it has rows; noise is drawn on one); the
 * output is byte for byte the same at any count. The default is the number
 * of cores the process may run on, at most 8, or the value of the
 * environment variable MORVA6_THREADS (a whole number, 1 or more) when it
 * is set. ulma_set_threads(n) with n >= 1 replaces both for the whole
 * process (counts above 256 count as 256); n <= 0 returns to the default.
 * Each render call takes the count once when it starts. ulma_threads()
 * gives the count a render call would use now. */
ULMA_API void ulma_set_threads(int32_t count);
ULMA_API int32_t ulma_threads(void);

#ifdef __cplusplus
}
#endif

#endif
