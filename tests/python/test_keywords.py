"""The keyword table and its errors: every long option of barwright is a
keyword, each takes its Python types, refuses other types with TypeError
and values out of range with barwright.Error naming it."""

import datetime

import pytest

import barwright
from barwright import _barwright


def test_keywords_are_the_option_table():
    from barwright._options import SYMBOL_KEYWORDS

    # Every option of the hallway is a keyword of encode, but those that are
    # arguments of their own (data) or of the pictures (dpi, time), and
    # macro, which holds file-id too.
    keywords = set(_barwright.option_names()) - {"help", "data", "dpi", "time"}
    assert keywords == {*SYMBOL_KEYWORDS, "macro", "file-id"}


# keyword, a value it takes, a value of the wrong type, a value out of range
KEYWORDS = [
    ("col", 4, 4.0, None),
    ("row", 10, "10", None),
    ("ecl", 3, 3.5, 10),
    ("mode", 2, None, 4),
    ("cpdf", True, 1.0, None),
    ("orient", 90, "90", 45),
    ("xdim", 2.5, "2", 0),
    ("y2x", 3, None, float("nan")),
    ("xsize", 300, 300.0, 0),
    ("ysize", 200, [200], -1),
    ("qzone", 0, "0", None),
    ("alignh", 2, None, 3),
    ("alignv", 0, None, -1),
    ("fcolor", 0x102030, 1.5, 0x1000000),
    ("bcolor", "FFEEDD", b"ffeedd", "fffffff"),
]


@pytest.mark.parametrize("keyword, good, wrong_type, out_of_range", KEYWORDS)
def test_keyword(keyword, good, wrong_type, out_of_range):
    assert isinstance(barwright.encode("12345", **{keyword: good}), barwright.Symbol)
    if wrong_type is not None:
        with pytest.raises(TypeError, match=keyword):
            barwright.encode("12345", **{keyword: wrong_type})
    with pytest.raises(TypeError, match=keyword):
        barwright.encode("12345", **{keyword: None})
    if keyword not in ("cpdf", "qzone"):
        with pytest.raises(TypeError, match=keyword):
            barwright.encode("12345", **{keyword: True})
    if out_of_range is not None:
        with pytest.raises(barwright.Error, match=f"^Error: Invalid argument. \\({keyword} takes") as e:
            barwright.encode("12345", **{keyword: out_of_range})
        assert e.value.status == 1
        assert isinstance(e.value, ValueError)


def test_values_reach_the_symbol():
    symbol = barwright.encode(b"12345678901234567890", col=5, ecl=4, cpdf=1)
    assert (symbol.columns, symbol.error_correction_level, symbol.compact) == (5, 4, True)
    assert len(symbol.codewords) == symbol.columns * symbol.rows
    assert barwright.encode("x", row=20, col=0).rows == 20
    import numpy

    assert barwright.encode("1", xsize=300, ysize=120).to_numpy().shape == (120, 300, 3)
    # numpy's own integer and float types are ints and floats too.
    assert barwright.encode("1", col=numpy.int64(2), xdim=numpy.float32(3)).columns == 2


# A failure of the encoder: its status and its message, as the program's.
ENCODING_FAILURES = [
    ({"col": 31}, 8, "Error: Columns number should be from 1 to 30 (or 0-auto)."),
    ({"row": 2}, 9, "Error: Rows number should be from 3 to 90 (or 0-auto)."),
    ({"col": 0, "row": 0}, 10, "Error: Columns and rows cannot be null."),
    ({"mode": 2}, 6, "Error: Some of the characters cannot be encoded in the NUMERIC mode."),
    ({"data": "x" * 3000}, 7,
     "Error: Data count above 928. (1501 data codewords; 3 columns hold 205 at level 5: "
     "--macro 7 fits)"),
    ({"macro": (1, "12a")}, 19, "Error: Invalid Macro PDF File ID."),
]


@pytest.mark.parametrize("options, status, message", ENCODING_FAILURES)
def test_encoding_failures(options, status, message):
    options = dict(options)
    data = options.pop("data", "abc")
    with pytest.raises(barwright.Error) as e:
        barwright.encode(data, **options)
    assert (e.value.status, str(e.value)) == (status, message)


def test_other_keywords_and_arguments():
    with pytest.raises(TypeError, match="unexpected keyword argument 'columns'"):
        barwright.encode("1", columns=3)
    with pytest.raises(TypeError, match="unexpected keyword argument 'data2'"):
        barwright.encode("1", data2="x")
    with pytest.raises(TypeError, match="data takes str or bytes, not int"):
        barwright.encode(1234)
    for keyword in ("escapes", "shortest"):
        with pytest.raises(TypeError, match=keyword):
            barwright.encode("1", **{keyword: 1})
    with pytest.raises(TypeError, match="macro"):
        barwright.encode("1", macro=3)
    with pytest.raises(barwright.Error, match=r"macro takes .*, not \"0\"") as e:
        barwright.encode("1", macro=(0, 1))
    assert e.value.status == 1
    with pytest.raises(barwright.Error, match="fewer bytes") as e:
        barwright.encode("ab", macro=(3, 1))
    assert e.value.status == 1
    with pytest.raises(barwright.Error, match="lone surrogate at character 2"):
        barwright.encode("a\udc80")


def test_picture_arguments():
    symbol = barwright.encode("1")
    for call in (lambda: symbol.png(dpi=0.5), lambda: symbol.png(time=1.5),
                 lambda: symbol.svg(dpi="72")):
        with pytest.raises(TypeError):
            call()
    for call, keyword in ((lambda: symbol.png(dpi=1000001), "dpi"),
                          (lambda: symbol.eps(dpi=0), "dpi"),
                          (lambda: symbol.png(time=-10**12), "time"),
                          (lambda: symbol.pdf(time=10**13), "time")):
        with pytest.raises(barwright.Error, match=f"\\({keyword} takes") as e:
            call()
        assert e.value.status == 1
    with pytest.raises(barwright.Error, match="no format gif"):
        symbol.file("gif")
    assert symbol.pdf().startswith(b"%PDF-") and symbol.file("png").startswith(b"\x89PNG")
    with pytest.raises(TypeError):
        symbol.txt(dpi=72)
    utc = datetime.datetime(2023, 11, 14, 22, 13, 20, tzinfo=datetime.timezone.utc)
    assert symbol.png(time=utc) == symbol.png(time=1700000000) != symbol.png()
    # Bars in the background's colour are refused when drawn, with the reason.
    with pytest.raises(barwright.Error, match="fcolor: bars abcdef on abcdef") as e:
        barwright.encode("1", fcolor="abcdef", bcolor=0xABCDEF).png()
    assert e.value.status == 1
    assert barwright.encode("1", fcolor="abcdef", bcolor=0xABCDEF).txt()


def test_error_pickles_with_its_status():
    import pickle

    error = pickle.loads(pickle.dumps(barwright.Error(8, "Error: Columns ...")))
    assert (type(error), error.status, str(error)) == (barwright.Error, 8, "Error: Columns ...")


def test_repr_and_notebook_picture():
    symbol = barwright.encode("Hello 123", col=4, ecl=2)
    assert repr(symbol) == (
        "<barwright.Symbol: PDF417, 4 columns, 4 rows, error correction level 2>"
    )
    assert repr(barwright.encode("1", cpdf=1)).startswith("<barwright.Symbol: Compact PDF417, ")
    assert symbol._repr_png_() == symbol.png()
    assert barwright.__version__ == "1.2"
