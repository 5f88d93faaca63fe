#!/usr/bin/env python3
"""Times morva6.render_six against the same library call without the module
(Ovex_Morva6_render through ctypes on the same buffers: the module's
overhead) and against Pillow's quantize with Floyd-Steinberg on the same
picture and the LUT's six inks. Medians of several runs, one thread.

  PYTHONPATH=build/python python3 python/benchmark.py [BUILD_DIR]
"""
import ctypes
import pathlib
import statistics
import sys
import time

import numpy as np
from PIL import Image

import morva6


def median_ms(call, runs):
    call()
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        call()
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build")
    lut = morva6.load_lut(build / "samples/Morva6_Render_LUT_Default_v2.bin")
    library = ctypes.CDLL(str(build / "morva6/libmorva6.so"))
    library.Ovex_Morva6_render.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_void_p, ctypes.c_int32,
                                           ctypes.c_int32, ctypes.c_int32, ctypes.c_int32, ctypes.c_int32]
    lut_bytes = bytes(lut)
    library.Ovex_Morva6_render_init(lut_bytes, len(lut_bytes))
    photo = Image.open(build / "samples/ladybird_1600x1200.bmp").convert("RGB")
    palette = Image.new("P", (1, 1))
    palette.putpalette(lut.inks.flatten().tolist() + [0] * (256 - 6) * 3)

    print("| picture | `render_six` (module) | `Ovex_Morva6_render` (C, same buffers) | overhead | Pillow `quantize`, Floyd-Steinberg |")
    print("|---|---:|---:|---:|---:|")
    for width, height, runs in ((800, 480, 30), (3840, 2160, 5)):
        image = photo.resize((width, height), Image.LANCZOS)
        picture = np.ascontiguousarray(np.asarray(image))
        out = np.empty_like(picture)
        module = median_ms(lambda: morva6.render_six(picture, lut, dither=1, mode=1), runs)
        direct = median_ms(lambda: library.Ovex_Morva6_render(
            picture.ctypes.data, 0, out.ctypes.data, 0, width, height, 0, 1), runs)
        pillow = median_ms(lambda: image.quantize(palette=palette, dither=Image.Dither.FLOYDSTEINBERG), runs)
        print(f"| {width} x {height} | {module:.2f} ms | {direct:.2f} ms | {100 * (module / direct - 1):+.1f} % "
              f"| {pillow:.2f} ms |")


if __name__ == "__main__":
    main()
