#!/usr/bin/python3
"""Pillow's Floyd-Steinberg quantize onto the six inks of the six-ink
benchmarks, the yardstick scripts/bench compares the renderers with.

  pillow_quantize.py PICTURE.ppm OUT.bmp         whole run: read, quantize, write
  pillow_quantize.py --time N PICTURE.ppm        in memory: prints the median
                                                 milliseconds of N quantize calls
"""
import statistics
import sys
import time

from PIL import Image

# The inks of bench/morva6/bench_support.h as red, green, blue.
INKS = [(30, 26, 28), (210, 205, 200), (205, 190, 40), (170, 50, 45), (55, 130, 70), (45, 70, 140)]


def palette_image():
    palette = Image.new("P", (1, 1))
    flat = [channel for ink in INKS for channel in ink]
    palette.putpalette(flat)
    return palette


def quantize(picture, palette):
    return picture.quantize(palette=palette, dither=Image.Dither.FLOYDSTEINBERG)


def main(argv):
    palette = palette_image()
    if len(argv) == 4 and argv[1] == "--time":
        picture = Image.open(argv[3]).convert("RGB")
        picture.load()
        times = []
        for _ in range(int(argv[2])):
            start = time.perf_counter()
            quantize(picture, palette)
            times.append(time.perf_counter() - start)
        print(f"{statistics.median(times) * 1e3:.1f}")
        return 0
    if len(argv) == 3:
        quantize(Image.open(argv[1]).convert("RGB"), palette).save(argv[2])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
