"""The pictures against the programs: png() has the pixels of barwright's
file, svg(), eps(), txt() and png(time=...) are barwright-batch's files
byte for byte, on seeded random cases."""

import csv
import io
import subprocess

import pytest

import barwright
from conftest import command_line, pixels, random_cases, run_batch

EPOCH = 1700000000


def escaped(data):
    """The bytes as the ~ escapes write them, for a command line or cell."""
    out = []
    for byte in data:
        if byte == ord("~"):
            out.append("~~")
        elif 0x20 <= byte < 0x7F:
            out.append(chr(byte))
        else:
            out.append(f"~X{byte:02x}")
    return "".join(out)


def outcome(data, options):
    """The symbol, or the status of the failure."""
    try:
        return barwright.encode(data, **options)
    except barwright.Error as error:
        return error.status


def drawn(data, options):
    """True when the case makes a picture."""
    try:
        return bool(barwright.encode(data, **options).png())
    except barwright.Error:
        return False


@pytest.mark.parametrize("seed", [1, 2])
def test_png_pixels_are_barwrights(barwright_exe, tmp_path, seed):
    for i, (data, options) in enumerate(random_cases(seed, 25)):
        path = tmp_path / f"{i}.png"
        run = subprocess.run(
            [barwright_exe, *command_line(options), "-d", escaped(data), str(path)],
            capture_output=True,
        )
        symbol = outcome(data, options)
        case = f"case {i}: {data!r} {options}"
        if run.returncode != 0:
            try:
                symbol = symbol.png() if isinstance(symbol, barwright.Symbol) else symbol
            except barwright.Error as error:
                symbol = error.status
            assert symbol == run.returncode, case
            continue
        assert isinstance(symbol, barwright.Symbol), case
        png = symbol.png()
        assert pixels(png) == pixels(path.read_bytes()), case
        # The other ways to the same pixels.
        (width, height), rgb = pixels(png)
        assert symbol.to_numpy().tobytes() == rgb, case
        assert symbol.to_numpy().shape == (height, width, 3), case
        assert symbol.to_image().tobytes() == rgb, case


def test_modules_are_the_text_picture():
    for data, options in random_cases(3, 10):
        symbol = outcome(data, options)
        if isinstance(symbol, barwright.Symbol):
            assert symbol.txt() == "".join(
                row.translate(bytes.maketrans(b"\0\1", b"01")).decode() + "\n"
                for row in symbol.modules
            )


# (format, dpi): barwright-batch's --format and --dpi.
FORMATS = [("png1", 300), ("png", 0), ("svg", 0), ("svg", 96), ("eps", 600), ("txt", 0)]


def test_formats_are_barwright_batchs(batch_exe, tmp_path):
    cases = [(d, o) for d, o in random_cases(4, 20) if drawn(d, o)]
    columns = ["data", "output", *sorted({k for _, o in cases for k in o})]
    table = io.StringIO()
    writer = csv.writer(table, lineterminator="\n")
    writer.writerow(columns)
    for data, options in cases:
        cells = dict(a.split("=", 1) for a in (w[2:] for w in command_line(options)))
        writer.writerow([escaped(data), ""] + [cells.get(c, "") for c in columns[2:]])
    (tmp_path / "cases.csv").write_text(table.getvalue())
    for format, dpi in FORMATS:
        folder = tmp_path / f"{format}-{dpi}"
        folder.mkdir()
        arguments = ["--csv", "--input", "cases.csv", "--format", format]
        arguments += ["--dpi", str(dpi)] if dpi else []
        arguments.append(f"{folder.name}/{{n}}.out")
        status, errors = run_batch(batch_exe, arguments, tmp_path, epoch=str(EPOCH))
        assert (status, errors) == (0, b"")
        for number, (data, options) in enumerate(cases, start=1):
            symbol = barwright.encode(data, **options)
            if format == "png1":
                made = symbol.png(dpi=dpi or None, time=EPOCH)
            elif format == "png":
                made = symbol.file("png", dpi=dpi or None, time=EPOCH)
            elif format == "txt":
                made = symbol.txt().encode()
            else:
                made = getattr(symbol, format)(dpi=dpi or None).encode()
            expected = (folder / f"{number}.out").read_bytes()
            assert made == expected, f"{format} {dpi}, case {number}: {data!r} {options}"


def test_png_without_time_is_the_same_every_time():
    symbol = barwright.encode("same bytes")
    assert b"tIME" not in symbol.png()
    assert b"Creation Time" not in symbol.png(dpi=72)
    assert symbol.png() == barwright.encode("same bytes").png()
    assert b"tIME" in symbol.png(time=0)
