/* render_eight_colours: how another program drives the Ulma library.
 *
 *   render_eight_colours <input.ppm> <output.pgm> <render-data folder> <temperature>
 *
 * Reads a binary PPM (P6, maximum 255), opens the render-data folder,
 * renders the picture at the temperature with the settings of ulmarender
 * without options, and writes what `ulmarender -p` writes: the PGM of panel
 * codes and the proof image beside it (the output name less its last four
 * characters, then "_proof.ppm"). Warnings go to standard error; on any
 * failure the program says what failed and exits with status 1 (2 for a
 * wrong command line). */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <ulma/ulma.h>

/* Skips blanks and '#' comments between the header's fields. */
static void skip_separators(FILE* file) {
    int c;
    while ((c = fgetc(file)) != EOF) {
        if (c == '#') {
            while ((c = fgetc(file)) != EOF && c != '\n') {}
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            ungetc(c, file);
            return;
        }
    }
}

/* A P6 picture of at most 20000 x 20000 pixels, or NULL. */
static uint8_t* read_ppm(const char* path, int32_t* width, int32_t* height) {
    FILE* file = fopen(path, "rb");
    uint8_t* pixels = NULL;
    int w = 0, h = 0, max = 0;
    if (file == NULL) return NULL;
    if (fgetc(file) == 'P' && fgetc(file) == '6') {
        skip_separators(file);
        if (fscanf(file, "%d", &w) == 1) skip_separators(file);
        if (fscanf(file, "%d", &h) == 1) skip_separators(file);
        if (fscanf(file, "%d", &max) == 1 && max == 255 && fgetc(file) != EOF && w > 0 && h > 0 && w <= 20000 &&
            h <= 20000) {
            size_t bytes = (size_t)w * (size_t)h * 3;
            pixels = malloc(bytes);
            if (pixels != NULL && fread(pixels, 1, bytes, file) != bytes) {
                free(pixels);
                pixels = NULL;
            }
        }
    }
    fclose(file);
    *width = w;
    *height = h;
    return pixels;
}

static int write_pnm(const char* path, const char* magic, int32_t width, int32_t height, const uint8_t* bytes,
                     size_t count) {
    FILE* file = fopen(path, "wb");
    int written;
    if (file == NULL) return 0;
    written =
        fprintf(file, "%s\n%d %d\n255\n", magic, (int)width, (int)height) > 0 && fwrite(bytes, 1, count, file) == count;
    return fclose(file) == 0 && written;
}

int main(int argc, char** argv) {
    UlmaRenderData* data = NULL;
    UlmaSettings settings;
    UlmaMessages messages;
    uint8_t *rgb = NULL, *codes = NULL, *proof = NULL;
    int32_t width = 0, height = 0, status;
    char* proof_path = NULL;
    size_t pixels, name_length;
    int result = 1;

    if (argc != 5) {
        fprintf(stderr, "usage: render_eight_colours <input.ppm> <output.pgm> <render-data folder> <temperature>\n");
        return 2;
    }
    rgb = read_ppm(argv[1], &width, &height);
    if (rgb == NULL) {
        fprintf(stderr, "render_eight_colours: %s: not a readable P6 picture\n", argv[1]);
        return 1;
    }
    if (ulma_open(argv[3], &data, &messages) != ULMA_OK) {
        fprintf(stderr, "render_eight_colours: %s\n", messages.message);
        free(rgb);
        return 1;
    }
    ulma_default_settings(&settings);
    pixels = (size_t)width * (size_t)height;
    codes = malloc(pixels);
    proof = malloc(pixels * 3);
    name_length = strlen(argv[2]);
    proof_path = malloc(name_length + 11);
    if (codes != NULL && proof != NULL && proof_path != NULL) {
        status = ulma_render(data, &settings, rgb, width, height, atoi(argv[4]), codes, proof, &messages);
        fputs(messages.warnings, stderr);
        if (status != ULMA_OK) {
            fprintf(stderr, "render_eight_colours: %s (status %d)\n", messages.message, (int)status);
        } else {
            name_length = name_length > 4 ? name_length - 4 : 0;
            memcpy(proof_path, argv[2], name_length);
            strcpy(proof_path + name_length, "_proof.ppm");
            if (write_pnm(argv[2], "P5", width, height, codes, pixels) &&
                write_pnm(proof_path, "P6", width, height, proof, pixels * 3)) {
                result = 0;
            } else {
                fprintf(stderr, "render_eight_colours: cannot write %s or %s\n", argv[2], proof_path);
            }
        }
    } else {
        fprintf(stderr, "render_eight_colours: not enough memory\n");
    }
    free(proof_path);
    free(proof);
    free(codes);
    free(rgb);
    ulma_close(data);
    return result;
}
