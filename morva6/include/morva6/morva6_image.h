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
    MORVA6_IMG_OPEN_FAILED = 1,      /* the file could not be opened */
    MORVA6_IMG_NO_MEMORY = 2,        /* a block could not be allocated */
    MORVA6_IMG_BAD_BIT_COUNT = 3,    /* BMP bit count other than 8, 24, 32 */
    MORVA6_IMG_BAD_FORMAT = 4,       /* stream format not supported here */
    MORVA6_IMG_WRITE_FAILED = 5,     /* writing or replacing the file failed */
    MORVA6_IMG_BAD_MAGIC = 6,        /* wrong PPM/PGM magic */
    MORVA6_IMG_OUT_OF_RANGE = 7,     /* crop rectangle outside the picture */
    MORVA6_IMG_NOT_8_BIT = 8,        /* PPM/PGM maximum value other than 255 */
    MORVA6_IMG_NOT_BMP = 9,          /* signature other than "BM" */
    MORVA6_IMG_BAD_COMPRESSION = 10, /* a BMP compression that is not read */
    MORVA6_IMG_TOO_LARGE = 11,       /* sizes overflow or are negative */
    MORVA6_IMG_BAD_HEADER = 12,      /* malformed or truncated header */
    MORVA6_IMG_TRUNCATED = 13,       /* pixel data shorter than the header says */
    MORVA6_IMG_BAD_ARGUMENT = 14     /* arguments a transform does not accept */
};

/* Stream formats. */
enum {
    MORVA6_GRAY = 0,
    MORVA6_RGB = 1,
    MORVA6_BGR = 2,
    MORVA6_RGBA = 3,
    MORVA6_BGRA = 4,
    MORVA6_ARGB = 5,
    MORVA6_ABGR = 6,
    MORVA6_GRAY_R = 7,
    MORVA6_GRAY_G = 8,
    MORVA6_GRAY_B = 9
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
    uint8_t* palette;
    uint8_t* data;
} BMP;

/* ---- BMP record ----
 * BMP_init and BMP_read install new blocks without freeing earlier ones:
 * give them a record fresh from new_BMP or emptied by BMP_release. Failures
 * print one line on standard output and return a non-zero status. */

/* A record with every number zero and both pointers null. */
MORVA6_API BMP new_BMP(void);
/* Makes the record an all-black 24-bit picture of width x height: 40-byte
 * header, pixel data at byte 54, biSizeImage = padded rows x height,
 * bfSize = biSizeImage + 54. `palette` is not touched. When the size breaks
 * the size rule or the block cannot be had, `data` is null. */
MORVA6_API void BMP_init(BMP* bmp, int32_t width, int32_t height);
/* Reads a BMP file of 8, 24 or 32 bits per pixel, uncompressed (32-bit bit
 * fields that describe plain blue, green, red bytes are also read). Pixel
 * data start at bfOffBits; an 8-bit colour table (biClrUsed entries when 1
 * to 256, else 256) follows the information header of biSize bytes and is
 * held as 256 entries, missing ones zero. A top-row-first file (negative
 * height) is held like any other: rows bottom row first, biHeight positive.
 * The record's biCompression is 0 after a read. The file must hold every
 * pixel row with its padding, except that the last row's padding may be
 * missing; this is checked against the file's length before the pixel block
 * is allocated.
 * Returns 0; MORVA6_IMG_OPEN_FAILED (record unchanged); MORVA6_IMG_NO_MEMORY;
 * MORVA6_IMG_BAD_BIT_COUNT; MORVA6_IMG_NOT_BMP; MORVA6_IMG_BAD_COMPRESSION;
 * MORVA6_IMG_TOO_LARGE (negative width, or width x |height| x 4 beyond
 * int32); MORVA6_IMG_BAD_HEADER (file shorter than its headers, an
 * information header under 40 bytes, or bfOffBits inside the headers);
 * MORVA6_IMG_TRUNCATED (the pixel data end before the last row's pixels).
 * After a failure the header fields read so far stay in the record and
 * `palette` and `data` stay as they were. */
MORVA6_API int BMP_read(BMP* bmp, const char* path);
/* Writes a 54-byte header, then (8-bit records with a colour table only) the
 * 1024-byte table, then biHeight rows of biWidth x biBitCount / 8 bytes, each
 * padded with zeros to a multiple of 4. The header holds the record's fields,
 * except that bfSize, bfOffBits, biSize, biCompression and biSizeImage
 * describe the file as written (so a record read from a file with a larger
 * header is saved as a consistent file). The file is replaced only once it is
 * complete. Returns 0; MORVA6_IMG_OPEN_FAILED; MORVA6_IMG_WRITE_FAILED (an
 * earlier file of that name is kept); MORVA6_IMG_BAD_ARGUMENT when the sizes
 * break the size rule or the pixel data are missing. */
MORVA6_API int BMP_save(const BMP* bmp, const char* path);
/* Resamples a 24-bit record to width x height by nearest neighbour (source
 * row y x old height / height and column likewise, truncated), recomputes
 * biSizeImage and bfSize as BMP_init does and frees the colour table. Other
 * records, sizes that break the size rule and a failed allocation leave the
 * record unchanged. */
MORVA6_API void BMP_resize(BMP* bmp, int32_t width, int32_t height);
/* Frees the record's colour table and pixel data and zeroes the record. */
MORVA6_API void BMP_release(BMP* bmp);

/* ---- pixel streams ----
 * A stream is width x height pixels of one format, packed. With `flip`
 * non-zero its first row is the top row of the picture, else the bottom row
 * (the file order). */

/* Reads a BMP file into a new stream of format 0 to 6 (zero-filled before
 * conversion, so the fourth byte of RGBA and BGRA pixels is 0). On success
 * returns 0 with the stream and the size. When BMP_read fails, returns its
 * status with *stream null and the size 0. Any other format prints
 * "UNIMPLEMENTED!!" and returns MORVA6_IMG_BAD_FORMAT with the size but no
 * stream; no memory for the stream gives MORVA6_IMG_NO_MEMORY, no stream,
 * size 0. */
MORVA6_API int readBMP_QW(uint8_t** stream, int32_t* width, int32_t* height, const char* path, int32_t format,
                          uint8_t flip);
/* Writes a stream of format 0 to 4 or 7 to 9 as a 24-bit BMP file. Another
 * format prints "unfinished!!" and writes an all-black picture. Returns the
 * status of BMP_save; MORVA6_IMG_TOO_LARGE for sizes that break the size
 * rule; MORVA6_IMG_NO_MEMORY; MORVA6_IMG_BAD_ARGUMENT for a null stream of a
 * non-empty picture. */
MORVA6_API int saveBMP_QW(const uint8_t* stream, int32_t width, int32_t height, const char* path, int32_t format,
                          uint8_t flip);
/* Fills `stream` (width x height pixels of `format`) from the record, rows
 * in record order: index data through the colour table when there is one,
 * else 24-bit or 32-bit pixels (fourth byte dropped). A format other than
 * 0 to 6 prints "UNIMPLEMENTED!!" and writes nothing (result 0). A record
 * without pixel data, of another bit count or breaking the size rule is not
 * converted (non-zero result). */
MORVA6_API int BMP_to_Stream(uint8_t* stream, const BMP* bmp, int32_t format);
/* Fills the pixel data of a 24-bit record from a stream of format 0 to 4 or
 * 7 to 9, rows in stream order. Another format prints "unfinished!!" and
 * returns MORVA6_IMG_BAD_FORMAT; a record without pixel data or of another
 * bit count gives MORVA6_IMG_BAD_ARGUMENT. */
MORVA6_API int Stream_to_BMP(BMP* bmp, const uint8_t* stream, int32_t format);

/* ---- converters ----
 * Each converter turns a width x height picture of one layout into another,
 * pixel for pixel, rows kept in order, exactly as the streams do; sizes
 * below 1 write nothing. The fourth byte of RGBA and BGRA pixels is left as
 * it was. They return 0 (MORVA6_IMG_BAD_ARGUMENT for null buffers). */

/* Allocates a zero-filled block of width x height x channels bytes (the
 * product must fit a signed 32-bit integer) into *image, which the caller
 * frees. Otherwise prints "imageInit malloc Error!!", sets *image null and
 * returns MORVA6_IMG_NO_MEMORY. */
MORVA6_API int imageInit(uint8_t** image, int32_t width, int32_t height, int32_t channels);
MORVA6_API int BGR_to_RGB(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int BGR_to_GRAY(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int BGR_to_RGBA(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int BGR_to_BGRA(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int BGR_to_ARGB(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int BGR_to_ABGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int RGB_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int RGBA_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int BGRA_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int GRAY_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int GrayR_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int GrayG_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
MORVA6_API int GrayB_to_BGR(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);
/* One grey byte per BGR pixel for the QM913TR5 panel: each pixel keeps the
 * channel its place selects (k = ((x + p) mod 6) / 2 with p 3 on even rows
 * and 0 on odd rows; k 0 red, 1 green, 2 blue), as 7 x kept - 2 x each
 * other channel, / 3 truncated, clamped to 0..255 (sums above 767 give 255). */
MORVA6_API int BGR_to_GrayQM913TR5(uint8_t* dst, const uint8_t* src, int32_t width, int32_t height);

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
MORVA6_API int img_resize_QW(uint8_t** image, int32_t* width, int32_t* height, int32_t new_width, int32_t new_height,
                             int32_t channels);
/* Quarter turn clockwise in place; swaps *width and *height. */
MORVA6_API int img_rotation90_QW(uint8_t* image, int32_t* width, int32_t* height, int32_t channels);
/* Half turn in place; needs no memory. */
MORVA6_API int img_rotation180_QW(uint8_t* image, int32_t* width, int32_t* height, int32_t channels);
/* Quarter turn counter-clockwise in place; swaps *width and *height. */
MORVA6_API int img_rotation270_QW(uint8_t* image, int32_t* width, int32_t* height, int32_t channels);
/* Reverses the row order in place; needs no memory. */
MORVA6_API int img_flipped_QW(uint8_t* image, int32_t width, int32_t height, int32_t channels);
/* Reverses the pixels of every row in place; needs no memory. */
MORVA6_API int img_mirror_QW(uint8_t* image, int32_t width, int32_t height, int32_t channels);
/* Copies columns x_start..x_end-1 of rows y_start..y_end-1 into a new malloc'd
 * block in *out, its size in *out_width, *out_height. 7 when the rectangle
 * starts before the picture or ends beyond it; 14 when x_end < x_start or
 * y_end < y_start. The source is never changed. */
MORVA6_API int img_crop_QW(const uint8_t* image, int32_t width, int32_t height, int32_t channels, uint8_t** out,
                           int32_t* out_width, int32_t* out_height, int32_t x_start, int32_t y_start, int32_t x_end,
                           int32_t y_end);
/* Surrounds the picture with black (zero) borders of the given widths:
 * replaces *image by a new malloc'd block (freeing the old one) and updates
 * *width, *height. 14 for a negative border. */
MORVA6_API int img_padding_QW(uint8_t** image, int32_t* width, int32_t* height, int32_t channels, int32_t left,
                              int32_t top, int32_t right, int32_t bottom);

/* ---- PPM/PGM files and demo savers ---- */
/* Repeating colour pattern of the demo savers: byte 0 red, 1 green, 2 blue,
 * anything else leaves the pixel black. */
typedef struct Panel {
    const uint8_t* pattern;
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
MORVA6_API int readPPM_QW(uint8_t** image, int32_t* width, int32_t* height, const char* path);
MORVA6_API int readPGM_QW(uint8_t** image, int32_t* width, int32_t* height, const char* path);
/* Writes "P6\n<width> <height>\n255\n" (or P5) and the samples. The file is
 * replaced only after a complete write. Results: 0 written; 1 cannot open;
 * 5 the write failed (an earlier file is kept); 11 negative or too large
 * sizes; 14 a missing pointer. */
MORVA6_API int savePPM_QW(const uint8_t* image, int32_t width, int32_t height, const char* path);
MORVA6_API int savePGM_QW(const uint8_t* image, int32_t width, int32_t height, const char* path);
/* Paints a one-byte-per-pixel picture, stored in record row order (bottom row
 * first), into the 24-bit record's data through the panel's pattern, which
 * is anchored at the top-left corner of the picture: the pixel value AND 0xF0
 * goes to the channel the pattern names; other channels are not touched.
 * Results: 0; 11 sizes too large; 14 a missing pointer, a pattern width or
 * height of 0, or a record that is not 24-bit. */
MORVA6_API int Stream_to_BMP_convert_Panel(BMP* bmp, const uint8_t* image, const Panel* panel);
/* Writes a one-byte-per-pixel picture through the panel's pattern as a 24-bit
 * BMP; flip non-zero means the picture holds the top row first, else the
 * bottom row first. */
MORVA6_API int saveBMP_DemoVitrel_QW(const uint8_t* image, int32_t width, int32_t height, const char* path,
                                     const Panel* panel, uint8_t flip);
/* The same as a PPM file; the picture holds the top row first. */
MORVA6_API int savePPM_DemoVitrel_QW(const uint8_t* image, int32_t width, int32_t height, const char* path,
                                     const Panel* panel);
/* Writes a top-row-first picture of colour codes as a 24-bit BMP: codes 32-48
 * red, 64-80 green, 96-112 blue, 128-144 cyan, 160-176 magenta, 192-208
 * yellow, 224-248 white (steps of 8); every other code black. */
MORVA6_API int saveBMP_DemoUlma2_QW(const uint8_t* image, int32_t width, int32_t height, const char* path);
/* The three demo savers print what went wrong and return its status:
 * MORVA6_IMG_OPEN_FAILED or MORVA6_IMG_WRITE_FAILED when the file could not
 * be written (a failed write leaves any earlier file whole),
 * MORVA6_IMG_NO_MEMORY when a block could not be allocated (nothing is
 * written), 11 for negative or too large sizes, 14 for a missing pointer or
 * a pattern width or height of 0. */

#ifdef __cplusplus
}
#endif

#endif
