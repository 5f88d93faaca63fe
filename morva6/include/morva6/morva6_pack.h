/* Morva6 packed panel buffers: palette indices (one byte a pixel, top row
 * first) turned into the bytes a display driver sends to a panel, and back.
 *
 * Layouts:
 *   MORVA6_PACK_PACKED4  four bits a pixel, two pixels a byte, the first
 *                        (left) pixel in the high nibble; every row starts
 *                        on a new byte, so a row of odd width ends with a
 *                        zero low nibble. (width + 1) / 2 * height bytes.
 *   MORVA6_PACK_INDICES  one byte a pixel, width * height bytes.
 *   MORVA6_PACK_C_ARRAY  a C header text holding the PACKED4 bytes as a
 *                        `const uint8_t` array, with the width, height and
 *                        layout in comments.
 *
 * An index map renames every index on the way out: index i is written as
 * map[i] (for a controller that skips a code, e.g. 0,1,2,3,5,6). Without a
 * map the indices are written as they are. A map must give different codes
 * to different indices, so that every packed buffer unpacks to the indices
 * it was made from; PACKED4 codes are 0..15.
 *
 * Blocks handed out are allocated with malloc; free them with free. */
#ifndef MORVA6_MORVA6_PACK_H
#define MORVA6_MORVA6_PACK_H

#include <stddef.h>
#include <stdint.h>

#include "morva6/morva6.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { MORVA6_PACK_PACKED4 = 1, MORVA6_PACK_INDICES = 2, MORVA6_PACK_C_ARRAY = 3 };

/* Status codes; morva6_pack_message names each. */
enum {
    MORVA6_PACK_OK = 0,
    MORVA6_PACK_ERR_FORMAT = 1, /* unknown layout (or C_ARRAY given to unpack) */
    MORVA6_PACK_ERR_SIZE = 2,   /* width or height below 1, or a size past INT32_MAX bytes */
    MORVA6_PACK_ERR_MAP = 3,    /* a map of 0 or more than 256 entries, two indices with one code,
                                       or a PACKED4 code above 15 */
    MORVA6_PACK_ERR_INDEX = 4,  /* an index the map has no entry for (without a map: above 15
                                       for PACKED4) */
    MORVA6_PACK_ERR_LENGTH = 5, /* unpack: the buffer is not as long as the layout needs */
    MORVA6_PACK_ERR_CODE = 6,   /* unpack: a code no index is mapped to */
    MORVA6_PACK_ERR_NAME = 7,   /* C_ARRAY: the array name is not a C identifier */
    MORVA6_PACK_ERR_NO_MEMORY = 8,
    MORVA6_PACK_ERR_NULL = 9 /* a null pointer where a buffer is needed */
};

/* Packs width x height indices in `layout`. `map` (map_length entries) may
 * be null for none. `array_name` names the C_ARRAY's array (null:
 * "panel_image"); the other layouts ignore it. On success *out is a new
 * block of *out_size bytes (the C_ARRAY text has no terminating zero). On
 * failure *out is null and *out_size 0. */
MORVA6_API int32_t morva6_pack(const uint8_t* indices, int32_t width, int32_t height, int32_t layout,
                               const uint8_t* map, int32_t map_length, const char* array_name, uint8_t** out,
                               size_t* out_size);

/* The bytes a PACKED4 or INDICES buffer of this size holds, or 0 for a
 * bad layout or size. */
MORVA6_API size_t morva6_packed_size(int32_t width, int32_t height, int32_t layout);

/* The inverse of morva6_pack for PACKED4 and INDICES: writes width x height
 * indices into `indices`. The padding nibble of an odd row is not read. On
 * failure `indices` is untouched. */
MORVA6_API int32_t morva6_unpack(const uint8_t* packed, size_t packed_size, int32_t width, int32_t height,
                                 int32_t layout, const uint8_t* map, int32_t map_length, uint8_t* indices);

/* The palette index (0 black, 1 white, 2 yellow, 3 red, 4 green, 5 blue)
 * of each of `count` pixels of a timing-controller picture (render mode
 * OVEX_MODE_TCON, three bytes a pixel, the first byte read).
 * MORVA6_PACK_ERR_CODE when a byte is no ink's code (`indices` then holds
 * 255 for it). */
MORVA6_API int32_t morva6_indices_from_codes(const uint8_t* codes, size_t count, uint8_t* indices);

/* One line for a status code; static text. */
MORVA6_API const char* morva6_pack_message(int32_t status);

#ifdef __cplusplus
}
#endif

#endif
