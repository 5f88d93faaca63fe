# Where the built programs and sample data are: named by ctest through the
# environment, or the default build tree.
import os
import pathlib

import pytest

BUILD = pathlib.Path(os.environ.get("MORVA6_BUILD_DIR", pathlib.Path(__file__).parents[2] / "build"))


def built(variable, relative):
    return pathlib.Path(os.environ.get(variable, BUILD / relative))


@pytest.fixture(scope="session")
def tools():
    return {
        "render": built("MORVA6_RENDER_EXE", "morva6/Morva6_render"),
        "photo2panel": built("PHOTO2PANEL_EXE", "apps/photo2panel/photo2panel"),
        "ulmarender": built("ULMARENDER_EXE", "ulmarender/ulmarender"),
        "samples": built("MORVA6_SAMPLES_DIR", "samples"),
    }
