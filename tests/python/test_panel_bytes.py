# Packed buffers from Python and from photo2panel, fitting as photo2panel
# fits, and the refusals of both.
import re
import subprocess

import numpy as np
import pytest
from PIL import Image

import morva6

SKIP_FOUR = [0, 1, 2, 3, 5, 6]


def decode_packed4(data, width, height):
    rows = np.frombuffer(data, np.uint8).reshape(height, (width + 1) // 2)
    return np.stack([rows >> 4, rows & 15], axis=-1).reshape(height, -1)[:, :width]


def test_round_trips_and_c_array(tmp_path):
    rng = np.random.default_rng(7)
    for width, height in ((1, 1), (3, 2), (9, 4), (640, 3)):
        indices = rng.integers(0, 6, (height, width), dtype=np.uint8)
        for fmt in ("packed4", "packed-indices"):
            for index_map in (None, SKIP_FOUR):
                data = morva6.pack(Image.fromarray(indices, "L"), fmt, index_map)
                assert np.array_equal(morva6.unpack(data, width, height, fmt, index_map), indices)
        mapped = np.array(SKIP_FOUR, np.uint8)[indices]
        assert np.array_equal(decode_packed4(morva6.pack(indices, "packed4", SKIP_FOUR), width, height), mapped)
        text = morva6.pack(indices, "c-array", SKIP_FOUR, name="frame").decode()
        body = text[text.index("{") + 1:text.index("}")]
        assert bytes(int(v, 16) for v in body.replace(",", " ").split()) == morva6.pack(indices, "packed4", SKIP_FOUR)
        (tmp_path / "frame.h").write_text(text)
        subprocess.run(["cc", "-c", "-x", "c", "-Wall", "-Werror", str(tmp_path / "frame.h"), "-o",
                        str(tmp_path / "frame.o")], check=True)


def test_pack_refusals():
    cases = [
        (ValueError, "format must be", lambda: morva6.pack(np.zeros((2, 2), np.uint8), "png")),
        (ValueError, "index has no code", lambda: morva6.pack(np.full((2, 2), 16, np.uint8))),
        (ValueError, "index has no code", lambda: morva6.pack(np.full((2, 2), 6, np.uint8), index_map=SKIP_FOUR)),
        (ValueError, "distinct codes", lambda: morva6.pack(np.zeros((2, 2), np.uint8), index_map=[0, 0])),
        (ValueError, "not a C identifier", lambda: morva6.pack(np.zeros((2, 2), np.uint8), "c-array", name="a b")),
        (ValueError, "height x width", lambda: morva6.pack(np.zeros((2, 2, 3), np.uint8))),
        (TypeError, "uint8", lambda: morva6.pack(np.zeros((2, 2), np.int64))),
        (ValueError, "length does not match", lambda: morva6.unpack(b"\0" * 3, 3, 2)),
        (ValueError, "gives to no index", lambda: morva6.unpack(b"\x47\x00\x00\x00", 3, 2, index_map=SKIP_FOUR)),
    ]
    for error, message, call in cases:
        with pytest.raises(error, match=message):
            call()


def test_photo2panel_packed_formats(tools, tmp_path):
    if not tools["photo2panel"].exists():
        pytest.skip("photo2panel is not built")
    photo = tools["samples"] / "garden_800x480.ppm"
    run = [str(tools["photo2panel"]), "-q", str(photo), "--size", "37x23"]
    subprocess.run(run + ["-o", str(tmp_path / "p.bmp")], check=True)
    subprocess.run(run + ["-o", str(tmp_path / "p.bin"), "--format", "packed4", "--index-map", "0,1,2,3,5,6"],
                   check=True)
    codes = np.asarray(Image.open(tmp_path / "p.bmp").convert("RGB"))[:, :, 0]
    indices = np.searchsorted([0x00, 0x10, 0x20, 0x30, 0x40, 0x78], codes)  # sorted codes ...
    indices = np.array([0, 5, 2, 4, 3, 1])[indices]  # ... to ink order
    packed = (tmp_path / "p.bin").read_bytes()
    assert len(packed) == 19 * 23
    assert np.array_equal(morva6.unpack(packed, 37, 23, "packed4", SKIP_FOUR), indices)
    # Eight colours: the PGM's codes divided by 8, one byte each.
    subprocess.run(run + ["-8", "-o", str(tmp_path / "e.pgm")], check=True)
    subprocess.run(run + ["-8", "-o", str(tmp_path / "e.bin"), "--format", "packed-indices"], check=True)
    assert (tmp_path / "e.bin").read_bytes() == bytes(b // 8 for b in (tmp_path / "e.pgm").read_bytes()[-37 * 23:])
    bad = subprocess.run(run + ["-o", str(tmp_path / "x.bin"), "--format", "packed4", "--index-map", "0,1,2,3,4,4"],
                         capture_output=True, text=True)
    assert bad.returncode == 1 and "distinct codes" in bad.stderr and not (tmp_path / "x.bin").exists()


@pytest.mark.skipif(not hasattr(morva6, "fit_photo"), reason="built without libvips")
def test_fit_photo_is_photo2panels_fitting(tools, tmp_path):
    if not tools["photo2panel"].exists():
        pytest.skip("photo2panel is not built")
    photo = tools["samples"] / "ladybird_1600x1200.ppm"
    subprocess.run([str(tools["photo2panel"]), "-q", str(photo), "-o", str(tmp_path / "p.bmp"), "--size", "301x199",
                    "--fit", "contain", "--background", "10,20,30", "--save-fitted", str(tmp_path / "f.bmp")],
                   check=True)
    fitted = morva6.fit_photo(photo.read_bytes(), size=(301, 199), fit="contain", background=(10, 20, 30))
    assert np.array_equal(fitted, np.asarray(Image.open(tmp_path / "f.bmp").convert("RGB")))
    # photo2panel takes the table made for its kernel (Stucki serpentine by default).
    lut = morva6.load_lut(tools["samples"] / "Morva6_Render_LUT_Default_v2_stucki.bin")
    panel = morva6.render_six(morva6.fit_photo(photo, size=(301, 199), fit="contain", background=(10, 20, 30)),
                              lut, dither=6)[1]
    assert np.array_equal(panel, np.asarray(Image.open(tmp_path / "p.bmp").convert("RGB")))
    for error, message, call in [
        (ValueError, "the picture's bytes", lambda: morva6.fit_photo(b"not a picture")),
        (ValueError, "fit must be", lambda: morva6.fit_photo(photo, fit="zoom")),
        (ValueError, "rotate must be", lambda: morva6.fit_photo(photo, rotate=45)),
        (ValueError, "megapixels", lambda: morva6.fit_photo(photo, max_megapixels=1)),
    ]:
        with pytest.raises(error, match=message):
            call()


def test_help_explains_every_parameter():
    for function in (morva6.load_lut, morva6.build_lut, morva6.render_six, morva6.RenderData, morva6.render_eight,
                     morva6.pack, morva6.unpack, getattr(morva6, "fit_photo", morva6.pack)):
        doc = function.__doc__
        signature = doc.splitlines()[0].split(" -> ")[0]
        for name in re.findall(r"[(,]\s*([a-z_]\w*)", signature):
            assert doc.count(name) >= 2, (function, name)
