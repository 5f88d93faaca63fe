#!/usr/bin/env python3
"""Times morva6.render_six and render_eight against the same library calls
without the module (Ovex_Morva6_render and ulma_render through ctypes: the module's overhead;
once with new output buffers every call, as the module returns new arrays,
once reusing them) and against Pillow's quantize with Floyd-Steinberg on the
same picture and the same inks (the LUT's six, the eight proof colours).
Best of several runs taken in turn (on a busy machine the best is the
figure least disturbed by other work), one thread.

  PYTHONPATH=build/python python3 python/benchmark.py [BUILD_DIR]
"""
import ctypes
import pathlib
import sys
import time

import numpy as np
from PIL import Image

import morva6


def best_ms(calls, runs):
    """The calls' best times, taken in turn (each round starting with the
    next call) so that a busy machine and the memory left by the call before
    affect them alike."""
    times = [[] for _ in calls]
    for run in range(runs + 1):
        for k in range(len(calls)):
            which = (run + k) % len(calls)
            start = time.perf_counter()
            calls[which]()
            if run > 0:
                times[which].append((time.perf_counter() - start) * 1000)
    return [min(spent) for spent in times]


def main():
    build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build")
    lut = morva6.load_lut(build / "samples/Morva6_Render_LUT_Default_v2.bin")
    library = ctypes.CDLL(str(build / "morva6/libmorva6.so"))
    library.Ovex_Morva6_render.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_void_p, ctypes.c_int32,
                                           ctypes.c_int32, ctypes.c_int32, ctypes.c_int32, ctypes.c_int32]
    lut_bytes = bytes(lut)
    library.Ovex_Morva6_render_init(lut_bytes, len(lut_bytes))
    ulma = ctypes.CDLL(str(build / "ulmarender/libulma.so"))
    ulma.ulma_render.argtypes = [ctypes.c_void_p] * 3 + [ctypes.c_int32] * 3 + [ctypes.c_void_p] * 3
    folder = build / "samples/ULMA_SAMPLE01_TC_03"
    render_data = morva6.RenderData(folder)
    opened = ctypes.c_void_p()
    ulma.ulma_open(str(folder).encode(), ctypes.byref(opened), None)
    photo = Image.open(build / "samples/ladybird_1600x1200.bmp").convert("RGB")
    palette = Image.new("P", (1, 1))
    palette.putpalette(lut.inks.flatten().tolist() + [0] * (256 - 6) * 3)

    print("| picture | module | C call, new buffers | module overhead | C call, buffers reused "
          "| Pillow `quantize`, Floyd-Steinberg, same inks |")
    print("|---|---:|---:|---:|---:|---:|")
    for width, height, runs in ((800, 480, 40), (3840, 2160, 8)):
        image = photo.resize((width, height), Image.LANCZOS)
        picture = np.ascontiguousarray(np.asarray(image))
        out = np.empty_like(picture)
        def six(output):
            library.Ovex_Morva6_render(picture.ctypes.data, 0, output.ctypes.data, 0, width, height, 0, 1)
        module, direct, reused, pillow = best_ms([
            lambda: morva6.render_six(picture, lut, dither=1, mode=1),
            lambda: six(np.empty_like(picture)),
            lambda: six(out),
            lambda: image.quantize(palette=palette, dither=Image.Dither.FLOYDSTEINBERG)], runs)
        row(f"six inks, {width} x {height}", module, direct, reused, pillow)

        codes, proof = morva6.render_eight(picture, render_data, 25)
        eight = Image.new("P", (1, 1))
        colours = np.unique(proof.reshape(-1, 3), axis=0)
        eight.putpalette(colours.flatten().tolist() + [0] * (256 - len(colours)) * 3)
        def eight_colours(codes, proof):
            ulma.ulma_render(opened, None, picture.ctypes.data, width, height, 25, codes.ctypes.data,
                             proof.ctypes.data, None)
        module, direct, reused, pillow = best_ms([
            lambda: morva6.render_eight(picture, render_data, 25),
            lambda: eight_colours(np.empty_like(codes), np.empty_like(proof)),
            lambda: eight_colours(codes, proof),
            lambda: image.quantize(palette=eight, dither=Image.Dither.FLOYDSTEINBERG)], max(runs // 3, 3))
        row(f"eight colours, {width} x {height}", module, direct, reused, pillow)


def row(what, module, direct, reused, pillow):
    print(f"| {what} | {module:.1f} ms | {direct:.1f} ms | {100 * (module / direct - 1):+.1f} % | {reused:.1f} ms "
          f"| {pillow:.1f} ms |")


if __name__ == "__main__":
    main()
