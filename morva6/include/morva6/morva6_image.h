/* Morva6 image layer: BMP files, pixel streams, converters, transforms,
 * PPM/PGM files and demo savers. C interface.
 *
 * Blocks handed out by these functions (stream, image and record blocks) are
 * allocated with malloc and released by the caller with free. All sizes are
 * signed 32-bit; pictures whose width x height x 4 does not fit are refused. */
#ifndef MORVA6_MORVA6_IMAGE_H
#define MORVA6_MORVA6_IMAGE_H

#include <stdint.h>

#include "morva6.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes of the image layer. */
enum {
    MORVA6_IMG_OK = 0,
    MORVA6_IMG_OPEN_FAILED = 1,     /* the file could not be opened */
    MORVA6_IMG_NO_MEMORY = 2,       /* a block could not be allocated */
    MORVA6_IMG_BAD_BIT_COUNT = 3,   /* BMP bit count other than 8, 24, 32 */
    MORVA6_IMG_BAD_FORMAT = 4,      /* stream format not supported here */
    MORVA6_IMG_WRITE_FAILED = 5,    /* writing or replacing the file failed */
    MORVA6_IMG_BAD_MAGIC = 6,       /* wrong PPM/PGM magic */
    MORVA6_IMG_OUT_OF_RANGE = 7,    /* crop rectangle outside the picture */
    MORVA6_IMG_NOT_8_BIT = 8,       /* PPM/PGM maximum value other than 255 */
    MORVA6_IMG_NOT_BMP = 9,         /* signature other than "BM" */
    MORVA6_IMG_BAD_COMPRESSION = 10,/* a BMP compression that is not read */
    MORVA6_IMG_TOO_LARGE = 11,      /* sizes overflow or are negative */
    MORVA6_IMG_BAD_HEADER = 12,     /* malformed or truncated header */
    MORVA6_IMG_TRUNCATED = 13,      /* pixel data shorter than the header says */
    MORVA6_IMG_BAD_ARGUMENT = 14    /* arguments a transform does not accept */
};

/* Stream formats. */
enum {
    MORVA6_GRAY = 0, MORVA6_RGB = 1, MORVA6_BGR = 2, MORVA6_RGBA = 3,
    MORVA6_BGRA = 4, MORVA6_ARGB = 5, MORVA6_ABGR = 6,
    MORVA6_GRAY_R = 7, MORVA6_GRAY_G = 8, MORVA6_GRAY_B = 9
};

/* One BMP picture in memory: the header fields, an optional 1024-byte colour
 * table (8-bit pictures) and the pixel data in file order (bottom row first,
 * rows packed without padding). Both blocks belong to the record. */
typedef struct BMP {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
    uint8_t *palette;
    uint8_t *data;
} BMP;

/* ---- BMP record ---- */
MORVA6_API BMP new_BMP(void);
MORVA6_API void BMP_init(BMP *bmp, int32_t width, int32_t height);
MORVA6_API int BMP_read(BMP *bmp, const char *path);
MORVA6_API int BMP_save(const BMP *bmp, const char *path);
MORVA6_API void BMP_resize(BMP *bmp, int32_t width, int32_t height);
/* Frees the record's colour table and pixel data and zeroes the record. */
MORVA6_API void BMP_release(BMP *bmp);

/* ---- pixel streams ---- */
MORVA6_API int readBMP_QW(uint8_t **stream, int32_t *width, int32_t *height,
                          const char *path, int32_t format, uint8_t flip);
MORVA6_API int saveBMP_QW(const uint8_t *stream, int32_t width, int32_t height,
                          const char *path, int32_t format, uint8_t flip);
MORVA6_API int BMP_to_Stream(uint8_t *stream, const BMP *bmp, int32_t format);
MORVA6_API int Stream_to_BMP(BMP *bmp, const uint8_t *stream, int32_t format);

/* ---- converters ---- */
MORVA6_API int imageInit(uint8_t **image, int32_t width, int32_t height, int32_t channels);
MORVA6_API int BGR_to_RGB(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int BGR_to_GRAY(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int BGR_to_RGBA(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int BGR_to_BGRA(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int BGR_to_ARGB(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int BGR_to_ABGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int RGB_to_BGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int RGBA_to_BGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int BGRA_to_BGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int GRAY_to_BGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int GrayR_to_BGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int GrayG_to_BGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int GrayB_to_BGR(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);
MORVA6_API int BGR_to_GrayQM913TR5(uint8_t *dst, const uint8_t *src, int32_t width, int32_t height);

/* ---- geometric transforms (any bytes per pixel) ---- */
MORVA6_API int img_resize_QW(uint8_t **image, int32_t *width, int32_t *height,
                             int32_t new_width, int32_t new_height, int32_t channels);
MORVA6_API int img_rotation90_QW(uint8_t *image, int32_t *width, int32_t *height, int32_t channels);
MORVA6_API int img_rotation180_QW(uint8_t *image, int32_t *width, int32_t *height, int32_t channels);
MORVA6_API int img_rotation270_QW(uint8_t *image, int32_t *width, int32_t *height, int32_t channels);
MORVA6_API int img_flipped_QW(uint8_t *image, int32_t width, int32_t height, int32_t channels);
MORVA6_API int img_mirror_QW(uint8_t *image, int32_t width, int32_t height, int32_t channels);
MORVA6_API int img_crop_QW(const uint8_t *image, int32_t width, int32_t height, int32_t channels,
                           uint8_t **out, int32_t *out_width, int32_t *out_height,
                           int32_t x_start, int32_t y_start, int32_t x_end, int32_t y_end);
MORVA6_API int img_padding_QW(uint8_t **image, int32_t *width, int32_t *height, int32_t channels,
                              int32_t left, int32_t top, int32_t right, int32_t bottom);

/* ---- PPM/PGM files and demo savers ---- */
/* Repeating colour pattern of the demo savers: byte 0 red, 1 green, 2 blue,
 * anything else leaves the pixel black. */
typedef struct Panel {
    const uint8_t *pattern;
    uint8_t pattern_width;
    uint8_t pattern_height;
} Panel;

MORVA6_API int readPPM_QW(uint8_t **image, int32_t *width, int32_t *height, const char *path);
MORVA6_API int readPGM_QW(uint8_t **image, int32_t *width, int32_t *height, const char *path);
MORVA6_API int savePPM_QW(const uint8_t *image, int32_t width, int32_t height, const char *path);
MORVA6_API int savePGM_QW(const uint8_t *image, int32_t width, int32_t height, const char *path);
MORVA6_API int Stream_to_BMP_convert_Panel(BMP *bmp, const uint8_t *image, const Panel *panel);
MORVA6_API int saveBMP_DemoVitrel_QW(const uint8_t *image, int32_t width, int32_t height,
                                     const char *path, const Panel *panel, uint8_t flip);
MORVA6_API int savePPM_DemoVitrel_QW(const uint8_t *image, int32_t width, int32_t height,
                                     const char *path, const Panel *panel);
MORVA6_API int saveBMP_DemoUlma2_QW(const uint8_t *image, int32_t width, int32_t height,
                                    const char *path);

#ifdef __cplusplus
}
#endif

#endif
