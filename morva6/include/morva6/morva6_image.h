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

/* ---- geometric transforms (any bytes per pixel) ----
 * A picture is width x height pixels of `channels` bytes, top row first.
 * Results: 0 done; 2 a block could not be allocated; 11 a size is negative or
 * its byte count (also at 4 bytes per pixel) does not fit int32; 14 channels
 * below 1, a missing pointer, or an argument named below. On any non-zero
 * result the picture, its block and the sizes are left as they were. */

/* Nearest neighbour to new_width x new_height: destination (r, c) takes source
 * (trunc(r / sy), trunc(c / sx)) with sy = new_height / height and
 * sx = new_width / width in double. Replaces *image by a new malloc'd block
 * (freeing the old one) only once the new one is complete. Growing an empty
 * picture into a non-empty one gives 14. */
MORVA6_API int img_resize_QW(uint8_t **image, int32_t *width, int32_t *height,
                             int32_t new_width, int32_t new_height, int32_t channels);
/* Quarter turn clockwise in place; swaps *width and *height. */
MORVA6_API int img_rotation90_QW(uint8_t *image, int32_t *width, int32_t *height, int32_t channels);
/* Half turn in place; needs no memory. */
MORVA6_API int img_rotation180_QW(uint8_t *image, int32_t *width, int32_t *height, int32_t channels);
/* Quarter turn counter-clockwise in place; swaps *width and *height. */
MORVA6_API int img_rotation270_QW(uint8_t *image, int32_t *width, int32_t *height, int32_t channels);
/* Reverses the row order in place; needs no memory. */
MORVA6_API int img_flipped_QW(uint8_t *image, int32_t width, int32_t height, int32_t channels);
/* Reverses the pixels of every row in place; needs no memory. */
MORVA6_API int img_mirror_QW(uint8_t *image, int32_t width, int32_t height, int32_t channels);
/* Copies columns x_start..x_end-1 of rows y_start..y_end-1 into a new malloc'd
 * block in *out, its size in *out_width, *out_height. 7 when the rectangle
 * starts before the picture or ends beyond it; 14 when x_end < x_start or
 * y_end < y_start. The source is never changed. */
MORVA6_API int img_crop_QW(const uint8_t *image, int32_t width, int32_t height, int32_t channels,
                           uint8_t **out, int32_t *out_width, int32_t *out_height,
                           int32_t x_start, int32_t y_start, int32_t x_end, int32_t y_end);
/* Surrounds the picture with black (zero) borders of the given widths:
 * replaces *image by a new malloc'd block (freeing the old one) and updates
 * *width, *height. 14 for a negative border. */
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

/* Binary PPM (P6, red-green-blue) and PGM (P5, grey) files with 8-bit
 * samples. The header is "P6" or "P5", width, height and 255, each followed by
 * exactly one byte that is not a letter or digit; tokens are at most four
 * letters or digits, and comments are not read.
 * Reading gives a new malloc'd block of width x height pixels in *image.
 * Results: 0 read; 1 cannot open; 2 no memory; 6 wrong magic; 8 maximum value
 * not 255; 11 sizes too large; 12 header token too long or empty, or the file
 * ends inside the header; 13 fewer pixel bytes than the header announces;
 * 14 a missing pointer. *width and *height are set once the header is read
 * (also for 2, 8, 11, 13); *image is set only on success. */
MORVA6_API int readPPM_QW(uint8_t **image, int32_t *width, int32_t *height, const char *path);
MORVA6_API int readPGM_QW(uint8_t **image, int32_t *width, int32_t *height, const char *path);
/* Writes "P6\n<width> <height>\n255\n" (or P5) and the samples. The file is
 * replaced only after a complete write. Results: 0 written; 1 cannot open;
 * 5 the write failed (an earlier file is kept); 11 negative or too large
 * sizes; 14 a missing pointer. */
MORVA6_API int savePPM_QW(const uint8_t *image, int32_t width, int32_t height, const char *path);
MORVA6_API int savePGM_QW(const uint8_t *image, int32_t width, int32_t height, const char *path);
/* Paints a one-byte-per-pixel picture, stored in record row order (bottom row
 * first), into the 24-bit record's data through the panel's pattern, which
 * is anchored at the top-left corner of the picture: the pixel value AND 0xF0
 * goes to the channel the pattern names; other channels are not touched.
 * Results: 0; 11 sizes too large; 14 a missing pointer, a pattern width or
 * height of 0, or a record that is not 24-bit. */
MORVA6_API int Stream_to_BMP_convert_Panel(BMP *bmp, const uint8_t *image, const Panel *panel);
/* Writes a one-byte-per-pixel picture through the panel's pattern as a 24-bit
 * BMP; flip non-zero means the picture holds the top row first, else the
 * bottom row first. */
MORVA6_API int saveBMP_DemoVitrel_QW(const uint8_t *image, int32_t width, int32_t height,
                                     const char *path, const Panel *panel, uint8_t flip);
/* The same as a PPM file; the picture holds the top row first. */
MORVA6_API int savePPM_DemoVitrel_QW(const uint8_t *image, int32_t width, int32_t height,
                                     const char *path, const Panel *panel);
/* Writes a top-row-first picture of colour codes as a 24-bit BMP: codes 32-48
 * red, 64-80 green, 96-112 blue, 128-144 cyan, 160-176 magenta, 192-208
 * yellow, 224-248 white (steps of 8); every other code black. */
MORVA6_API int saveBMP_DemoUlma2_QW(const uint8_t *image, int32_t width, int32_t height,
                                    const char *path);
/* The three demo savers return 0 whether or not the file could be written
 * (problems are printed; a failed write leaves any earlier file whole), and
 * refuse arguments only: 11 negative or too large sizes, 14 a missing pointer
 * or a pattern width or height of 0. */

#ifdef __cplusplus
}
#endif

#endif
