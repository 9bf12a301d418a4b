"""What the Python module's tests share: the programs to compare with, and
the random cases."""

import io
import os
import random
import subprocess

import pytest
from PIL import Image


def _program(variable):
    path = os.environ.get(variable)
    if not path or not os.access(path, os.X_OK):
        pytest.fail(f"{variable} must name the built program (ctest sets it)")
    return os.path.abspath(path)


@pytest.fixture(scope="session")
def barwright_exe():
    return _program("BARWRIGHT_EXE")


@pytest.fixture(scope="session")
def batch_exe():
    return _program("BARWRIGHT_BATCH_EXE")


def run_batch(batch_exe, arguments, cwd, epoch="1700000000", stdin=None):
    """barwright-batch's status and standard error, SOURCE_DATE_EPOCH set."""
    environment = dict(os.environ, SOURCE_DATE_EPOCH=epoch)
    run = subprocess.run([batch_exe, "--quiet", *arguments], cwd=cwd, env=environment,
                         input=stdin, capture_output=True)
    return run.returncode, run.stderr


def pixels(png):
    """A PNG's pixels as RGB bytes with its size, whatever its colour type."""
    image = Image.open(io.BytesIO(png)).convert("RGB")
    return image.size, image.tobytes()


# Options that any symbol can take, as keyword values; picture options kept
# small so that each case draws quickly.
_RANDOM_VALUES = {
    "col": lambda r: r.choice([0, 1, 2, 3, 5, 8]),
    "ecl": lambda r: r.choice([0, 1, 2, 4, 9]),
    "mode": lambda r: r.choice([0, 0, 3]),
    "cpdf": lambda r: r.choice([0, 1, True, False]),
    "orient": lambda r: r.choice([0, 90, 180, 270]),
    "xdim": lambda r: r.choice([1, 2, 2.5, 3]),
    "y2x": lambda r: r.choice([2, 3.5, 4.0]),
    "qzone": lambda r: r.choice([0, 1, True]),
    "alignh": lambda r: r.choice([0, 1, 2]),
    "alignv": lambda r: r.choice([0, 1, 2]),
    "fcolor": lambda r: r.choice(["000000", 0x000080, "993300"]),
    "bcolor": lambda r: r.choice(["ffffff", 0xFFFF00]),
}


def random_cases(seed, count):
    """(data bytes, keywords) cases; each keyword is present by chance."""
    r = random.Random(seed)
    cases = []
    for _ in range(count):
        length = r.choice([1, 5, 20, 60])
        data = bytes(r.choice(b"0123456789 ABCabc.,-~\x00\xe9") for _ in range(length))
        options = {k: v(r) for k, v in _RANDOM_VALUES.items() if r.random() < 0.4}
        if r.random() < 0.2:
            options["xsize"], options["ysize"] = r.choice([(400, 200), (300, 300)])
        cases.append((data, options))
    return cases


def command_line(options):
    """The same options as barwright's long options."""
    words = []
    for keyword, value in options.items():
        if isinstance(value, bool):
            value = int(value)
        elif keyword.endswith("color") and isinstance(value, int):
            value = format(value, "06x")
        words.append(f"--{keyword}={value}")
    return words
