# render_eight against ulmarender -p byte for byte, and its refusals.
import shutil
import subprocess
import warnings

import numpy as np
import pytest
from PIL import Image

import morva6

SETTINGS = [  # bands in the middle, on a boundary, beyond both ends; adjustments
    dict(temperature=25),
    dict(temperature=0, chroma=20, brightness=5),
    dict(temperature=-30, chroma=-100),
    dict(temperature=99, brightness=-40),
]
FLAGS = dict(chroma="-c", brightness="-b")


@pytest.fixture(scope="module")
def render_data(tools):
    return morva6.RenderData(tools["samples"] / "ULMA_SAMPLE01_TC_03")


def run_ulmarender(tools, source, tmp_path, settings, folder=None):
    words = [str(tools["ulmarender"]), "-p"]
    for key in ("chroma", "brightness"):
        if key in settings:
            words += [FLAGS[key], str(settings[key])]
    words += [str(source), str(tmp_path / "out.pgm"), str(folder or tools["samples"] / "ULMA_SAMPLE01_TC_03"),
              str(settings["temperature"])]
    subprocess.run(words, check=True, stdout=subprocess.DEVNULL)
    return np.asarray(Image.open(tmp_path / "out.pgm")), np.asarray(Image.open(tmp_path / "out_proof.ppm"))


@pytest.mark.parametrize("name", ["garden_800x480.ppm", "odd"])
def test_render_eight_is_ulmarender(tools, render_data, tmp_path, name):
    source = tools["samples"] / name
    if name == "odd":
        rng = np.random.default_rng(8)
        Image.fromarray(rng.integers(0, 256, (17, 29, 3), dtype=np.uint8)).save(tmp_path / "odd.ppm")
        source = tmp_path / "odd.ppm"
    picture = np.asarray(Image.open(source))
    for turn, settings in enumerate(SETTINGS):
        codes, proof = morva6.render_eight(picture, render_data, **settings, threads=(1, 2, 3, 7)[turn % 4])
        expected_codes, expected_proof = run_ulmarender(tools, source, tmp_path, settings)
        assert np.array_equal(codes, expected_codes) and np.array_equal(proof, expected_proof), settings
    assert morva6.render_eight(picture, render_data, 25, proof=False)[1] is None
    noisy = [morva6.render_eight(picture, render_data, 25, noise=20, seed=5)[0] for _ in range(2)]
    assert np.array_equal(noisy[0], noisy[1]) and not np.array_equal(noisy[0], morva6.render_eight(picture, render_data, 25)[0])


def test_eight_colour_refusals(tools, tmp_path):
    folder = tmp_path / "ULMA_SAMPLE01_TC_03"
    shutil.copytree(tools["samples"] / "ULMA_SAMPLE01_TC_03", folder)
    picture = np.zeros((4, 5, 3), np.uint8)
    for lut in folder.glob("*_lut_10Cto25C_03.bin"):
        lut.unlink()
    # A band without its LUT renders as ulmarender does, with a warning.
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        codes = morva6.render_eight(picture, morva6.RenderData(folder), 25)[0]
    assert caught and issubclass(caught[0].category, RuntimeWarning)
    assert np.array_equal(codes, run_ulmarender(tools, _saved(picture, tmp_path), tmp_path, dict(temperature=25), folder)[0])
    for data in folder.glob("*_data_10Cto25C_03.bin"):
        data.unlink()
    cases = [
        (morva6.Error, "ULMA_NONE_TC_03", lambda: morva6.RenderData(tmp_path / "ULMA_NONE_TC_03")),
        (morva6.Error, "ULMA_SAMPLE01_TC_03", lambda: morva6.render_eight(picture, morva6.RenderData(folder), 25)),
        (TypeError, "RenderData", lambda: morva6.render_eight(picture, "folder", 25)),
        (ValueError, "threads must be 1 to 256, got 300", lambda: morva6.render_eight(picture, morva6.RenderData(folder), 0, threads=300)),
        (ValueError, "height x width x 3", lambda: morva6.render_eight(picture[:, :, 0], morva6.RenderData(folder), 0)),
    ]
    for error, message, call in cases:
        with pytest.raises(error, match=message):
            call()


def _saved(picture, tmp_path):
    Image.fromarray(picture).save(tmp_path / "in.ppm")
    return tmp_path / "in.ppm"
