"""Symbols read back by zxing-cpp: text beyond ISO-8859-1 behind its ECI,
bytes with NUL, escapes, the fewest codewords, and Macro PDF417 segments that
join to the data."""

import pytest
import zxingcpp

import barwright


def read(symbol):
    result = zxingcpp.read_barcode(symbol.to_image(), formats=zxingcpp.BarcodeFormat.PDF417)
    assert result is not None and result.valid, repr(symbol)
    return result


TEXTS = [
    ("ISO-8859-1", "Grüße aus Köln: 12,50 £", {}),
    ("Cyrillic, CJK and tildes", "Привет, 你好 ~ ~~ ~N", {"col": 6}),
    ("escapes on", "Ω~Nline two~~", {"escapes": True}),
    ("shortest", "Ünïcode 0123456789012345 text", {"shortest": True, "ecl": 3}),
    ("turned and compact", "ĉu vi ŝatas ĝin?", {"orient": 90, "cpdf": True, "col": 4}),
]


@pytest.mark.parametrize("name, text, options", TEXTS, ids=[t[0] for t in TEXTS])
def test_text_reads_back(name, text, options):
    expected = text.replace("~N", "\n").replace("~~", "~") if options.get("escapes") else text
    assert read(barwright.encode(text, **options)).text == expected


@pytest.mark.parametrize("mode", [0, 3])
def test_bytes_read_back(mode):
    data = b"\x00NUL first\x00, \xff\xfe and \x1e\x04 control" + bytes(range(256))
    assert read(barwright.encode(data, mode=mode, col=8)).bytes == data


def test_macro_segments_join_to_the_data():
    data = "Macro PDF417 über drei Symbole, 0123456789 " * 3
    symbols = barwright.encode(data.encode("latin-1"), macro=(3, "#123456"), col=5)
    assert [type(s) for s in symbols] == [barwright.Symbol] * 3
    assert b"".join(read(s).bytes for s in symbols) == data.encode("latin-1")
    # An int file ID is barwright-batch's for that record number.
    assert barwright.encode(b"abcd", macro=(2, 7))[0].codewords == barwright.encode(
        b"abcd", macro=(2, "#007"))[0].codewords
