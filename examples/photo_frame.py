#!/usr/bin/env python3
"""A photo frame's daily job: pick a photograph from a folder, fit it to the
panel, render it onto the six inks and write the panel's packed buffer (what
the display driver sends) and a preview PNG of what the panel will show.

  PYTHONPATH=build/python python3 examples/photo_frame.py PHOTO_FOLDER LUT_FILE OUT_PREFIX

writes OUT_PREFIX.bin (four bits a pixel, codes 0,1,2,3,5,6 for black,
white, yellow, red, green, blue) and OUT_PREFIX.png. The photograph is the
day's one: the folder's pictures in name order, one a day in turn.
"""
import datetime
import pathlib
import sys

from PIL import Image

import morva6

PANEL = (800, 480)
PICTURES = {".jpg", ".jpeg", ".png", ".webp", ".tif", ".tiff", ".heic", ".bmp", ".ppm"}
INDEX_MAP = [0, 1, 2, 3, 5, 6]  # this controller skips code 4


def todays_photo(folder):
    photos = sorted(p for p in pathlib.Path(folder).iterdir() if p.suffix.lower() in PICTURES)
    if not photos:
        sys.exit(f"photo_frame: no pictures in {folder}")
    return photos[datetime.date.today().toordinal() % len(photos)]


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    folder, lut_path, prefix = sys.argv[1:]
    photo = todays_photo(folder)
    lut = morva6.load_lut(lut_path)
    picture = morva6.fit_photo(photo, size=PANEL, fit="cover")
    indices, preview = morva6.render_six(picture, lut, dither=1, mode=3)
    pathlib.Path(prefix + ".bin").write_bytes(morva6.pack(indices, "packed4", INDEX_MAP))
    Image.fromarray(preview).save(prefix + ".png")
    print(f"{photo.name} -> {prefix}.bin ({PANEL[0] * PANEL[1] // 2} bytes), {prefix}.png")


if __name__ == "__main__":
    main()
