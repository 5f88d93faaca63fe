# render_six against Morva6_render byte for byte, the LUT builder's tables,
# and every documented refusal.
import subprocess
import threading

import numpy as np
import pytest
from PIL import Image

import morva6

SETTINGS = [  # one row per class: kernels, modes, TFT folds, adjustment
    dict(dither=1),
    dict(dither=2, mode=3),
    dict(dither=4, mode=2, tft=1),
    dict(dither=6, mode=1, tft=5, hue=30, saturation=20, brightness=-10, contrast=15, gamma=1.2),
    dict(dither=3, mode=3, tft=3, gamma=0.7),
    dict(dither=5, mode=1, tft=2),
    dict(dither=6, mode=2, hue=200),
]
FLAGS = dict(dither="-d", mode="-m", tft="-t", hue="-h", saturation="-s", brightness="-b", contrast="-c", gamma="-g")


def odd_picture():
    rng = np.random.default_rng(19)
    y, x = np.mgrid[0:23, 0:37]
    smooth = np.stack([x * 7, y * 11, (x + y) * 5], axis=-1) % 256
    return ((smooth + rng.integers(0, 40, smooth.shape)) % 256).astype(np.uint8)


@pytest.fixture(scope="module")
def lut(tools):
    return morva6.load_lut(tools["samples"] / "Morva6_Render_LUT_Default_v2.bin")


@pytest.mark.parametrize("name", ["ladybird_800x480.bmp", "odd"])
def test_render_six_is_morva6_render(tools, lut, tmp_path, name):
    if name == "odd":
        picture = odd_picture()
        Image.fromarray(picture).save(tmp_path / "in.bmp")
        source = tmp_path / "in.bmp"
    else:
        source = tools["samples"] / name
        picture = np.asarray(Image.open(source).convert("RGB"))
    for turn, settings in enumerate(SETTINGS):
        words = [str(tools["render"]), "-i", str(source), "-o", str(tmp_path / "out.bmp"),
                 "-l", str(tools["samples"] / "Morva6_Render_LUT_Default_v2.bin")]
        for key, value in settings.items():
            words += [FLAGS[key], str(value)]
        subprocess.run(words, check=True, stdout=subprocess.DEVNULL)
        expected = np.asarray(Image.open(tmp_path / "out.bmp").convert("RGB"))
        # The same bytes at any thread count: the rows take turns at 1, 2, 3 and 7.
        indices, panel = morva6.render_six(picture, lut, **settings, threads=(1, 2, 3, 7)[turn % 4])
        assert panel.shape == expected.shape and np.array_equal(panel, expected), settings
        codes = np.array([0x00, 0x78, 0x20, 0x40, 0x30, 0x10], np.uint8)[indices]
        if settings.get("mode", 1) == 1:
            assert np.array_equal(codes, panel[:, :, 0])
        else:  # the same pass: the indices are those of mode 1
            tcon = morva6.render_six(picture, lut, **dict(settings, mode=1))[1]
            assert np.array_equal(codes, tcon[:, :, 0])


def test_pictures_in_other_forms_and_threads(lut):
    picture = odd_picture()
    expected = morva6.render_six(picture, lut, dither=2, mode=3)[1]
    as_image = morva6.render_six(Image.fromarray(picture).convert("RGBA"), lut, dither=2, mode=3)[1]
    mirrored = morva6.render_six(picture[:, ::-1], lut, dither=2, mode=3)[1]
    assert np.array_equal(as_image, expected)
    # A fold of a single row leaves no rows, as Morva6_render writes it.
    folded = morva6.render_six(picture[:1], lut, tft=1)
    assert folded[0].shape == (0, 74) and folded[1].shape == (0, 74, 3)
    assert np.array_equal(mirrored, morva6.render_six(picture[:, ::-1].copy(), lut, dither=2, mode=3)[1])
    # Two tables at once from several threads: each render sees its own table.
    identity = morva6.build_lut(identity=True)
    other = morva6.render_six(picture, identity, dither=2, mode=3)[1]
    results = {}

    def work(key, table):
        results[key] = [morva6.render_six(picture, table, dither=2, mode=3)[1] for _ in range(20)]
    threads = [threading.Thread(target=work, args=(k, t)) for k, t in (("v2", lut), ("v1", identity))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all(np.array_equal(r, expected) for r in results["v2"])
    assert all(np.array_equal(r, other) for r in results["v1"])


def test_build_lut_is_the_tools_table(tools):
    samples = tools["samples"]
    assert bytes(morva6.build_lut()) == (samples / "Morva6_Render_LUT_Default_v2.bin").read_bytes()
    assert bytes(morva6.build_lut(identity=True)) == (samples / "Morva6_Render_LUT_Default_v1.bin").read_bytes()
    custom = morva6.build_lut(inks={"white": (200, 198, 186)}, identity=True)
    assert custom.inks[1].tolist() == [200, 198, 186] and custom.inks[0].tolist() == [28, 24, 38]


def test_refusals(lut, tmp_path):
    picture = odd_picture()
    (tmp_path / "short.bin").write_bytes(b"\0" * 100)
    cases = [
        (TypeError, "uint8", lambda: morva6.render_six(picture.astype(np.float32), lut)),
        (TypeError, "NumPy array", lambda: morva6.render_six([[1, 2, 3]], lut)),
        (ValueError, "height x width x 3", lambda: morva6.render_six(picture[:, :, :2], lut)),
        (ValueError, "height x width x 3", lambda: morva6.render_six(picture[0], lut)),
        (ValueError, "1 to 2147483647", lambda: morva6.render_six(picture[:0], lut)),
        (ValueError, "dither must be 1 to 6", lambda: morva6.render_six(picture, lut, dither=7)),
        (ValueError, "gamma must be 0 to 2", lambda: morva6.render_six(picture, lut, gamma=float("nan"))),
        (ValueError, "hue must be 0 to 360", lambda: morva6.render_six(picture, lut, hue=-1)),
        (ValueError, "threads must be 1 to 256", lambda: morva6.render_six(picture, lut, threads=0)),
        (FileNotFoundError, "missing.bin", lambda: morva6.load_lut(tmp_path / "missing.bin")),
        (ValueError, "786450 bytes long, but it has 100", lambda: morva6.load_lut(tmp_path / "short.bin")),
        (ValueError, "786450", lambda: morva6.Lut(b"abc")),
        (ValueError, "unknown ink 'purple'", lambda: morva6.build_lut(inks={"purple": (1, 2, 3)})),
        (ValueError, "three values 0..255", lambda: morva6.build_lut(inks={"red": (1, 2, 300)})),
        (ValueError, "unusable inks", lambda: morva6.build_lut(inks={n: (9, 9, 9) for n in
                                                                    ("black", "white", "yellow", "red", "green", "blue")})),
    ]
    for error, message, call in cases:
        with pytest.raises(error, match=message):
            call()
