"""Python values to the option texts that barwright's option table reads.

Every keyword is one of the command line's long options; its value becomes
the text that the option would take (``col=4`` is ``--col 4``), and the
native side applies it with the same strict rules as a cell of
``barwright-batch --csv``. Here only the Python types are checked: a wrong
type is a TypeError, a value out of range an Error naming the keyword.
"""

import datetime
import numbers
import operator

from barwright import _barwright
from barwright._errors import failure, out_of_range, INVALID_ARGUMENT

# The last second that a PNG time stamp holds, 9999-12-31 23:59:59 UTC.
LAST_PNG_TIME = 253402300799
# Macro PDF417 file IDs are groups of three digits, each a codeword 0..899.
_FILE_ID_BASE = 900
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
    if not 0 <= number <= 0xFFFFFF:
        raise out_of_range(keyword, value, "0x000000..0xffffff")
    return format(number, "06x")


# The symbol's and the picture's options, in the option table's order.
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
}


def flag(keyword, value):
    if isinstance(value, bool):
        return value
    raise TypeError(f"{keyword} takes a bool, not {_type_name(value)}")


def unexpected(function, keyword):
    return TypeError(f"{function}() got an unexpected keyword argument {keyword!r}")


def option_texts(options):
    """[(keyword, value, text)] for the symbol keywords among options, which
    are taken out of it; any other keyword left is unexpected."""
    texts = []
    for keyword in list(options):
        convert = SYMBOL_KEYWORDS.get(keyword)
        if convert is not None:
            value = options.pop(keyword)
            texts.append((keyword, value, convert(keyword, value)))
    return texts


def refused(texts, index):
    """The Error for the option the native side refused."""
    keyword, value, _ = texts[index]
    return out_of_range(keyword, value)


def data_bytes(data):
    """The bytes to encode and the ECI designator before them (or NO_ECI).

    bytes are taken as they are; a str as ISO-8859-1 when every character
    fits (a reader's default), else as UTF-8 behind ECI 000026, so that
    readers give back the same text."""
    if isinstance(data, str):
        try:
            return data.encode("latin-1"), _barwright.NO_ECI
        except UnicodeEncodeError:
            pass
        try:
            return data.encode("utf-8"), _UTF8_ECI
        except UnicodeEncodeError as error:
            raise failure(
                INVALID_ARGUMENT, f"data: a lone surrogate at character {error.start + 1}"
            ) from None
    if isinstance(data, (bytes, bytearray, memoryview)):
        return bytes(data), _barwright.NO_ECI
    raise TypeError(f"data takes str or bytes, not {_type_name(data)}")


def file_id_text(file_id):
    """The Macro file ID as the encoder takes it: an int n as the groups of
    n in base 900 (7 is "#007", the ID barwright-batch gives record 7), a
    str as it is ("#" and groups of three digits, or digits)."""
    if isinstance(file_id, str):
        return file_id
    number = _whole(file_id)
    if number is None:
        raise TypeError(f"a Macro file ID is an int or a str of digits, not {_type_name(file_id)}")
    if number < 0:
        raise out_of_range("macro", file_id, "a file ID is not negative")
    groups = []
    while True:
        groups.append(f"{number % _FILE_ID_BASE:03d}")
        number //= _FILE_ID_BASE
        if number == 0:
            return "#" + "".join(reversed(groups))


def segment_count(keyword, value):
    count = _int(keyword, value)
    if not 1 <= count <= _barwright.MAX_MACRO_SEGMENTS:
        raise out_of_range(keyword, value, f"1..{_barwright.MAX_MACRO_SEGMENTS} symbols")
    return count


def macro_settings(macro):
    """(segment count, file ID text) of macro=None or (segments, file_id);
    (0, "") for none."""
    if macro is None:
        return 0, ""
    if not isinstance(macro, tuple) or len(macro) != 2:
        raise TypeError(f"macro takes None or a (segments, file_id) tuple, not {macro!r}")
    return segment_count("macro", macro[0]), file_id_text(macro[1])


def dpi_value(dpi):
    """The resolution to record: None or 0 for none, else 1..MAX_DPI."""
    if dpi is None:
        return 0
    number = _int("dpi", dpi)
    if not 0 <= number <= _barwright.MAX_DPI:
        raise out_of_range("dpi", dpi, f"0..{_barwright.MAX_DPI} pixels per inch")
    return number


def time_value(time):
    """Seconds since 1970 for a PNG's time, or NO_TIME for None. A datetime
    without a zone is local time, as datetime.timestamp takes it."""
    if time is None:
        return _barwright.NO_TIME
    if isinstance(time, datetime.datetime):
        seconds = int(time.timestamp())
    else:
        seconds = _int("time", time)
    if not 0 <= seconds <= LAST_PNG_TIME:
        raise out_of_range("time", time, "from 1970 to the year 9999")
    return seconds


def symbol_request(function, data, options):
    """The native encode's arguments for data and the keywords (a dict,
    emptied), and the option texts (to name a refused one). Raises TypeError
    for an unknown keyword or a wrong type."""
    texts = option_texts(options)
    escapes = flag("escapes", options.pop("escapes", False))
    shortest = flag("shortest", options.pop("shortest", False))
    macro = macro_settings(options.pop("macro", None))
    for keyword in options:
        raise unexpected(function, keyword)
    raw, eci = data_bytes(data)
    request = (raw, eci, escapes, shortest, [(k, t) for k, _, t in texts]) + macro
    return request, texts
