/* Test data for the example program, written and checked without the
 * library so that the test does not trust what it tests.
 *
 *   example_test_data make <picture.bmp> <lut file>
 *       writes a 13 x 7 colour-gradient 24-bit BMP and a LUT file whose
 *       table maps every colour to itself and whose six inks are muted
 *   example_test_data check <result.bmp> <width> <height>
 *       checks that the result is a 24-bit BMP of that size whose every
 *       pixel is one of the six inks of that LUT */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kWidth = 13, kHeight = 7, kLutSize = 786450, kHeaderSize = 54 };

/* Measured ink colours, blue, green, red: black, white, yellow, red, green, blue. */
static const uint8_t kInks[6][3] = {{20, 20, 20},  {230, 230, 230}, {40, 200, 220},
                                    {40, 40, 190}, {60, 150, 50},   {150, 60, 40}};

static void put_le(uint8_t* at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) at[i] = (uint8_t)(value >> (8 * i));
}

static uint32_t get_le(const uint8_t* at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

static uint32_t padded_row(uint32_t width) { return (width * 3 + 3) / 4 * 4; }

static int write_block(const char* path, const uint8_t* block, size_t size) {
    FILE* file = fopen(path, "wb");
    int ok = file != NULL && fwrite(block, 1, size, file) == size;
    if (file != NULL && fclose(file) != 0) ok = 0;
    if (!ok) fprintf(stderr, "example_test_data: cannot write %s\n", path);
    return ok;
}

static int make_picture(const char* path) {
    const uint32_t row = padded_row(kWidth);
    const size_t size = kHeaderSize + (size_t)row * kHeight;
    uint8_t* file = calloc(size, 1);
    int ok;
    if (file == NULL) return 0;
    file[0] = 'B';
    file[1] = 'M';
    put_le(file + 2, (uint32_t)size, 4);
    put_le(file + 10, kHeaderSize, 4);
    put_le(file + 14, 40, 4);
    put_le(file + 18, kWidth, 4);
    put_le(file + 22, kHeight, 4);
    put_le(file + 26, 1, 2);
    put_le(file + 28, 24, 2);
    put_le(file + 34, row * kHeight, 4);
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            uint8_t* pixel = file + kHeaderSize + y * row + x * 3;
            pixel[0] = (uint8_t)(255 * y / (kHeight - 1));
            pixel[1] = (uint8_t)(255 * x / (kWidth - 1));
            pixel[2] = (uint8_t)(255 - 255 * x / (kWidth - 1));
        }
    }
    ok = write_block(path, file, size);
    free(file);
    return ok;
}

static int make_lut(const char* path) {
    uint8_t* lut = malloc(kLutSize);
    int ok;
    if (lut == NULL) return 0;
    memcpy(lut, kInks, sizeof kInks);
    for (uint32_t index = 0; index < 64 * 64 * 64; ++index) {
        uint8_t* entry = lut + 18 + 3 * index;
        entry[0] = (uint8_t)((index & 63) * 255 / 63);        /* blue */
        entry[1] = (uint8_t)(((index >> 6) & 63) * 255 / 63); /* green */
        entry[2] = (uint8_t)((index >> 12) * 255 / 63);       /* red */
    }
    ok = write_block(path, lut, kLutSize);
    free(lut);
    return ok;
}

static int is_ink(const uint8_t* pixel) {
    for (int i = 0; i < 6; ++i)
        if (memcmp(pixel, kInks[i], 3) == 0) return 1;
    return 0;
}

static int check_result(const char* path, uint32_t width, uint32_t height) {
    static uint8_t file[1 << 20];
    FILE* in = fopen(path, "rb");
    size_t size;
    uint32_t row = padded_row(width);
    if (in == NULL) {
        fprintf(stderr, "example_test_data: cannot open %s\n", path);
        return 0;
    }
    size = fread(file, 1, sizeof file, in);
    fclose(in);
    if (size < kHeaderSize || file[0] != 'B' || file[1] != 'M' || get_le(file + 28, 2) != 24 ||
        get_le(file + 10, 4) != kHeaderSize) {
        fprintf(stderr, "example_test_data: %s is not a 24-bit BMP\n", path);
        return 0;
    }
    if (get_le(file + 18, 4) != width || get_le(file + 22, 4) != height || size != kHeaderSize + (size_t)row * height) {
        fprintf(stderr, "example_test_data: %s is %u x %u in %zu bytes, expected %u x %u\n", path,
                (unsigned)get_le(file + 18, 4), (unsigned)get_le(file + 22, 4), size, (unsigned)width,
                (unsigned)height);
        return 0;
    }
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            if (!is_ink(file + kHeaderSize + y * row + x * 3)) {
                fprintf(stderr, "example_test_data: pixel %u,%u of %s is not an ink\n", (unsigned)x, (unsigned)y, path);
                return 0;
            }
        }
    }
    printf("%s: %u x %u, every pixel one of the six inks\n", path, (unsigned)width, (unsigned)height);
    return 1;
}

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "make") == 0) return make_picture(argv[2]) && make_lut(argv[3]) ? 0 : 1;
    if (argc == 5 && strcmp(argv[1], "check") == 0)
        return check_result(argv[2], (uint32_t)strtoul(argv[3], NULL, 10), (uint32_t)strtoul(argv[4], NULL, 10)) ? 0
                                                                                                                 : 1;
    fprintf(stderr, "usage: %s make <picture.bmp> <lut file> | check <result.bmp> <width> <height>\n", argv[0]);
    return 2;
}
