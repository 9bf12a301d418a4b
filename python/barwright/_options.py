"""Python values to the texts of barwright's options.

Every keyword is one of the hallway's long options; its value becomes the
text that the option takes (``col=4`` is ``col`` ``"4"``), and the native
side applies it with the hallway's strict rules, as a cell of
``barwright-batch --csv`` or a JavaScript key. Here only the Python types are
checked: a wrong type is a TypeError; whether a value is in range is the
hallway's to say.
"""

import datetime
import numbers
import operator

from barwright import _barwright
from barwright._errors import failure, INVALID_ARGUMENT

# The ECI designator for UTF-8.
_UTF8_ECI = 26


def _type_name(value):
    return type(value).__name__


def _whole(value):
    """value as an int when it is one of any integer type (numpy's too), but
    not a bool; else None. Floats are refused rather than cut short."""
    if isinstance(value, bool):
        return None
    try:
        return operator.index(value)
    except TypeError:
        return None


def _int(keyword, value):
    number = _whole(value)
    if number is None:
        raise TypeError(f"{keyword} takes an int, not {_type_name(value)}")
    return number


def _integer(keyword, value):
    return str(_int(keyword, value))


def _switch(keyword, value):
    if isinstance(value, bool):
        return "1" if value else "0"
    number = _whole(value)
    if number is None:
        raise TypeError(f"{keyword} takes a bool or an int, not {_type_name(value)}")
    return str(number)


def _real(keyword, value):
    if isinstance(value, numbers.Real) and not isinstance(value, bool):
        if isinstance(value, numbers.Integral):
            return str(operator.index(value))
        # repr gives the shortest text that reads back as the same double.
        return repr(float(value))
    raise TypeError(f"{keyword} takes a float or an int, not {_type_name(value)}")


def _colour(keyword, value):
    if isinstance(value, str):
        return value
    number = _whole(value)
    if number is None:
        raise TypeError(
            f"{keyword} takes a colour as a 'rrggbb' str or an int 0xRRGGBB, not {_type_name(value)}"
        )
    # 0xrrggbb, which the hallway reads; beyond 24 bits or negative, a text
    # that it refuses, showing the value as it was most likely written.
    return format(number, "#08x")


def flag(keyword, value):
    if isinstance(value, bool):
        return value
    raise TypeError(f"{keyword} takes a bool, not {_type_name(value)}")


def _flag(keyword, value):
    return "1" if flag(keyword, value) else "0"


# The symbol's and the picture's options, in the option table's order, and
# the shared ones that are plain values.
SYMBOL_KEYWORDS = {
    "xsize": _integer,
    "ysize": _integer,
    "xdim": _real,
    "mode": _integer,
    "ecl": _integer,
    "col": _integer,
    "row": _integer,
    "cpdf": _switch,
    "orient": _integer,
    "bcolor": _colour,
    "fcolor": _colour,
    "qzone": _switch,
    "alignh": _integer,
    "alignv": _integer,
    "y2x": _real,
    "shortest": _flag,
    "escapes": _flag,
    "eci": _integer,
}


def unexpected(function, keyword):
    return TypeError(f"{function}() got an unexpected keyword argument {keyword!r}")


def option_texts(options):
    """[(long name, text)] for the keywords of SYMBOL_KEYWORDS among
    options, which are taken out of it."""
    texts = []
    for keyword in list(options):
        convert = SYMBOL_KEYWORDS.get(keyword)
        if convert is not None:
            texts.append((keyword, convert(keyword, options.pop(keyword))))
    return texts


def data_bytes(data):
    """The bytes to encode and whether they are UTF-8 text beyond
    ISO-8859-1, which goes behind an ECI designator.

    bytes are taken as they are; a str as ISO-8859-1 when every character
    fits (a reader's default), else as UTF-8, so that readers give back the
    same text."""
    if isinstance(data, str):
        try:
            return data.encode("latin-1"), False
        except UnicodeEncodeError:
            pass
        try:
            return data.encode("utf-8"), True
        except UnicodeEncodeError as error:
            raise failure(
                INVALID_ARGUMENT, f"data: a lone surrogate at character {error.start + 1}"
            ) from None
    if isinstance(data, (bytes, bytearray, memoryview)):
        return bytes(data), False
    raise TypeError(f"data takes str or bytes, not {_type_name(data)}")


def file_id_text(file_id):
    """A Macro file ID as the hallway takes it: a str as it is ("#" and
    groups of three digits, or digits), an int n as the ID barwright-batch
    gives record n (7 is "#007")."""
    if isinstance(file_id, str):
        return file_id
    number = _whole(file_id)
    if number is None:
        raise TypeError(f"a Macro file ID is an int or a str of digits, not {_type_name(file_id)}")
    if not 0 <= number < 2**64:
        raise failure(INVALID_ARGUMENT, f"a Macro file ID number is 0..2**64-1, not {number}")
    return _barwright.macro_file_id(number)


def macro_texts(macro, function):
    """The option texts of macro=None, N (write_csv only: each record its
    own file ID) or (N, file_id)."""
    if macro is None:
        return []
    if isinstance(macro, tuple) and len(macro) == 2:
        return [("macro", _integer("macro", macro[0])), ("file-id", file_id_text(macro[1]))]
    if function == "write_csv" and _whole(macro) is not None:
        return [("macro", _integer("macro", macro))]
    shapes = "None, N or (N, file_id)" if function == "write_csv" else "None or (N, file_id)"
    raise TypeError(f"macro takes {shapes}, not {macro!r}")


def output_texts(dpi, time):
    """The texts of a file's resolution (None: none recorded) and time
    (seconds since 1970, or a datetime; None: none)."""
    texts = []
    if dpi is not None:
        texts.append(("dpi", _integer("dpi", dpi)))
    if time is not None:
        # A datetime without a zone is local time, as timestamp() takes it.
        seconds = int(time.timestamp()) if isinstance(time, datetime.datetime) else time
        texts.append(("time", _integer("time", seconds)))
    return texts


def symbol_texts(function, data, options):
    """(data bytes, option texts) for data and the keywords (a dict,
    emptied). Raises TypeError for an unknown keyword or a wrong type."""
    texts = option_texts(options)
    texts += macro_texts(options.pop("macro", None), function)
    for keyword in options:
        raise unexpected(function, keyword)
    raw, utf8 = data_bytes(data)
    if utf8:
        if any(name == "eci" for name, _ in texts):
            raise TypeError("eci is for bytes data: a str beyond ISO-8859-1 is UTF-8, ECI 26")
        texts.append(("eci", str(_UTF8_ECI)))
    return raw, texts
