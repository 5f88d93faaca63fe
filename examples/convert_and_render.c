/* convert_and_render: how another program drives the Morva6 library.
 *
 *   convert_and_render <input.bmp> <lut file> <output.bmp>
 *
 * Loads a 24-bit (or 8/32-bit) BMP as top-row-first blue-green-red pixels,
 * turns it a quarter clockwise and doubles its size, hands it to the renderer
 * in red-green-blue order (to show the channel-order flags), renders it onto
 * the six inks with serpentine Stucki dithering in the measured ink colours,
 * and writes the result as a 24-bit BMP. Every status is checked; on any
 * failure the program says what failed and exits with status 1 (2 for a
 * wrong command line). */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <morva6/morva6.h>
#include <morva6/morva6_image.h>

static int fail(const char* step, int status) {
    fprintf(stderr, "convert_and_render: %s failed (status %d)\n", step, status);
    return 1;
}

/* Reads a whole file into a new block; NULL on failure (errno explains). */
static uint8_t* read_whole_file(const char* path, long* size) {
    FILE* file = fopen(path, "rb");
    uint8_t* block = NULL;
    if (file == NULL) return NULL;
    if (fseek(file, 0, SEEK_END) == 0 && (*size = ftell(file)) >= 0 && fseek(file, 0, SEEK_SET) == 0) {
        block = malloc(*size > 0 ? (size_t)*size : 1);
        if (block != NULL && fread(block, 1, (size_t)*size, file) != (size_t)*size) {
            free(block);
            block = NULL;
        }
    }
    fclose(file);
    return block;
}

/* The picture's work: everything after the LUT is installed. */
static int convert_and_render(const char* input_path, const char* output_path) {
    uint8_t *picture = NULL, *rgb = NULL, *rendered = NULL;
    int32_t width = 0, height = 0;
    int result = 1;
    int status;
    size_t bytes;

    status = readBMP_QW(&picture, &width, &height, input_path, MORVA6_BGR, 1);
    if (status != MORVA6_IMG_OK) {
        result = fail("reading the picture", status);
        goto done;
    }
    if (picture == NULL || width < 1 || height < 1) {
        fprintf(stderr, "convert_and_render: '%s' holds no picture\n", input_path);
        goto done;
    }

    /* Turn upright and double the size; both work on any bytes per pixel. */
    status = img_rotation90_QW(picture, &width, &height, 3);
    if (status != MORVA6_IMG_OK) {
        result = fail("turning the picture", status);
        goto done;
    }
    status = img_resize_QW(&picture, &width, &height, width * 2, height * 2, 3);
    if (status != MORVA6_IMG_OK) {
        result = fail("resizing the picture", status);
        goto done;
    }

    /* width x height x 4 fits int32 after a successful resize. */
    bytes = (size_t)width * (size_t)height * 3;
    rgb = malloc(bytes);
    rendered = malloc(bytes);
    if (rgb == NULL || rendered == NULL) {
        result = fail("allocating the work pictures", MORVA6_IMG_NO_MEMORY);
        goto done;
    }
    status = BGR_to_RGB(rgb, picture, width, height);
    if (status != MORVA6_IMG_OK) {
        result = fail("converting to red-green-blue", status);
        goto done;
    }

    /* Input in red-green-blue order (flag 0), output in blue-green-red (flag 1). */
    status =
        Ovex_Morva6_render(rgb, 0, rendered, 1, width, height, OVEX_DITHER_STUCKI_SERPENTINE, OVEX_MODE_SIMULATION);
    if (status != OVEX_OK) {
        result = fail("rendering", status);
        goto done;
    }

    status = saveBMP_QW(rendered, width, height, output_path, MORVA6_BGR, 1);
    if (status != MORVA6_IMG_OK) {
        result = fail("writing the result", status);
        goto done;
    }
    printf("wrote %s: %d x %d pixels in the six inks\n", output_path, (int)width, (int)height);
    result = 0;

done:
    free(rendered);
    free(rgb);
    free(picture);
    return result;
}

int main(int argc, char** argv) {
    uint8_t* lut;
    long lut_size = 0;
    int32_t status;
    int result;

    if (argc != 4) {
        fprintf(stderr, "usage: %s <input.bmp> <lut file> <output.bmp>\n", argv[0]);
        return 2;
    }

    /* The library does not read files: the caller loads the LUT and keeps the
     * block for as long as it renders. */
    lut = read_whole_file(argv[2], &lut_size);
    if (lut == NULL) {
        perror(argv[2]);
        return 1;
    }
    if (lut_size != OVEX_LUT_FILE_SIZE) {
        fprintf(stderr, "convert_and_render: '%s' is %ld bytes, a LUT file is %d\n", argv[2], lut_size,
                OVEX_LUT_FILE_SIZE);
        free(lut);
        return 1;
    }
    status = Ovex_Morva6_render_init(lut, (int32_t)lut_size);
    if (status != OVEX_OK) {
        free(lut);
        return fail("installing the LUT", status);
    }

    result = convert_and_render(argv[1], argv[3]);
    free(lut);
    return result;
}
