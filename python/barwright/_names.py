"""Output file names as barwright-batch makes them from a template.

    {n}    the record number (from 1)    {n:W}  the same, zero-padded to W digits
    {s}    the Macro PDF417 segment       {s:W}  the same, zero-padded to W digits
    {{ }}  a literal brace

W is 1..20. Anything else in braces, or a brace without its partner, is an
error, with the same message as the batch program's.
"""

MAX_WIDTH = 20

_EXTENSION_FORMATS = {"png": "png", "svg": "svg", "eps": "eps", "txt": "txt"}


class TemplateError(ValueError):
    """A template that names no file; args[0] is the message, as bytes (it
    quotes the template's)."""


def _width(digits):
    if not 1 <= len(digits) <= 2 or not digits.isdigit() or not digits.isascii():
        return 0
    width = int(digits)
    return width if width <= MAX_WIDTH else 0


class NameTemplate:
    """A parsed template: text pieces and ("n" or "s", width) placeholders."""

    def __init__(self, text):
        if isinstance(text, str):
            text = text.encode("utf-8", "surrogateescape")
        self.text = text
        self.pieces = []
        self.uses_record_number = False
        self.uses_segment_number = False
        try:
            self._parse(text.decode("latin-1"))
        except TemplateError as error:
            raise TemplateError(error.args[0].encode("latin-1")) from None

    def _parse(self, text):
        if not text:
            raise TemplateError("the output name is empty")
        literal = []
        i = 0
        while i < len(text):
            c = text[i]
            if c in "{}" and text[i + 1 : i + 2] == c:
                literal.append(c)
                i += 2
                continue
            if c == "}":
                raise TemplateError(
                    f'"}}" at character {i + 1} closes no "{{" (a literal brace is written "}}}}")'
                )
            if c != "{":
                literal.append(c)
                i += 1
                continue
            close = text.find("}", i + 1)
            if close < 0:
                raise TemplateError(
                    f'"{{" at character {i + 1} is never closed (a literal brace is written "{{{{")'
                )
            placeholder = text[i : close + 1]
            inside = text[i + 1 : close]
            if not inside or inside[0] not in "ns" or (len(inside) > 1 and inside[1] != ":"):
                raise TemplateError(
                    f'unknown placeholder "{placeholder}" at character {i + 1} '
                    "(known: {n}, {n:W}, {s}, {s:W})"
                )
            width = 0
            if len(inside) > 1:
                width = _width(inside[2:])
                if width == 0:
                    raise TemplateError(
                        f'the width in "{placeholder}" at character {i + 1} must be a number '
                        f"from 1 to {MAX_WIDTH}"
                    )
            if literal:
                self.pieces.append("".join(literal).encode("latin-1"))
                literal = []
            self.pieces.append((inside[0], width))
            if inside[0] == "n":
                self.uses_record_number = True
            else:
                self.uses_segment_number = True
            i = close + 1
        if literal:
            self.pieces.append("".join(literal).encode("latin-1"))

    def expand(self, record, segment):
        """The file name (bytes) of a record's segment."""
        parts = []
        for piece in self.pieces:
            if isinstance(piece, bytes):
                parts.append(piece)
            else:
                number = record if piece[0] == "n" else segment
                parts.append(str(number).zfill(piece[1]).encode("ascii"))
        return b"".join(parts)

    def format(self):
        """The format the extension of the last path component names, in any
        case; None for none or another."""
        name = self.text.rsplit(b"/", 1)[-1].decode("latin-1")
        dot = name.rfind(".")
        if dot <= 0:
            return None
        return _EXTENSION_FORMATS.get(name[dot + 1 :].lower())


def is_contained_path(path):
    """True when the path (bytes) stays inside the folder it is taken from:
    not empty, not absolute, no ".." component, no NUL."""
    if not path or path.startswith(b"/") or b"\0" in path:
        return False
    return b".." not in path.split(b"/")


def printable(text, quotes, shown=0):
    """Text from the input (bytes) as a message shows it: control bytes (and
    with quotes '"' and '\\') as \\xhh, cut after shown bytes with "..."."""
    cut = shown > 0 and len(text) > shown
    if cut:
        text = text[:shown]
    out = bytearray()
    for byte in text:
        if byte < 0x20 or byte == 0x7F or (quotes and byte in b'"\\'):
            out += b"\\x%02x" % byte
        else:
            out.append(byte)
    if cut:
        out += b"..."
    return bytes(out)
