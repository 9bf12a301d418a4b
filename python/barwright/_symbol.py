"""barwright.encode and the Symbol it returns."""

from barwright import _barwright
from barwright import _options
from barwright._errors import failure


def _checked(status, reason, value):
    if status:
        raise failure(status, reason)
    return value


class Symbol:
    """One PDF417 symbol, encoded, with the picture keywords it was given.

    Its files are those of every other barwright front door: ``png()`` has
    the pixels of the ``barwright`` program's file, ``svg()``, ``eps()``,
    ``txt()`` and ``file(format)`` are ``barwright-batch``'s files."""

    __slots__ = ("_native",)

    def __init__(self, native):
        self._native = native

    @property
    def columns(self):
        """Data columns, 1..30."""
        return self._native.columns

    @property
    def rows(self):
        """Rows, 3..90."""
        return self._native.rows

    @property
    def error_correction_level(self):
        """The level used, 0..8 (the automatic choice resolved)."""
        return self._native.error_correction_level

    @property
    def compact(self):
        """True for Compact PDF417."""
        return self._native.compact

    @property
    def data_codewords(self):
        """How many data codewords the data took (the length descriptor,
        any Macro block and the padding not counted)."""
        return self._native.data_codewords

    @property
    def data_capacity(self):
        """How many data codewords the symbol's shape and level hold."""
        return self._native.data_capacity

    @property
    def codewords(self):
        """Every codeword in reading order (columns x rows of them): the
        length descriptor, the data, the padding, any Macro block, and the
        error correction codewords last."""
        return self._native.codewords

    @property
    def modules(self):
        """The module grid: a bytes a row, each byte 1 for a bar module and 0
        for a space, start and stop patterns included, no quiet zone, as at
        orientation 0."""
        status, rows = self._native.modules()
        return _checked(status, "", rows)

    def file(self, format, *, dpi=None, time=None):
        """The symbol's file as bytes, in a format of barwright's: "png"
        (barwright's 24-bit file), "png1" (1-bit), "svg", "eps", "txt" or
        "pdf". dpi (1..1000000) is the resolution to record, time (seconds
        since 1970, or a datetime) the time a PNG or PDF records; without
        them none is recorded, so that a symbol always gives the same bytes."""
        if not isinstance(format, str):
            raise TypeError(f"format takes a str, not {type(format).__name__}")
        status, reason, data = self._native.file(format, _options.output_texts(dpi, time))
        return _checked(status, reason, data)

    def png(self, *, dpi=None, time=None):
        """The picture as PNG bytes: the pixels of the barwright program's
        file in a 1-bit palette PNG of the two colours (barwright-batch's
        png1), a tenth of the time and half the bytes of 24-bit RGB."""
        return self.file("png1", dpi=dpi, time=time)

    def svg(self, *, dpi=None):
        """The picture as SVG text, one unit a pixel (inches with dpi)."""
        return self.file("svg", dpi=dpi).decode("ascii")

    def eps(self, *, dpi=None):
        """The picture as EPS text, a point a pixel (scaled to dpi with it)."""
        return self.file("eps", dpi=dpi).decode("ascii")

    def pdf(self, *, dpi=None, time=None):
        """The picture as a one-page PDF file (bytes)."""
        return self.file("pdf", dpi=dpi, time=time)

    def txt(self):
        """The modules as text: a line a row, "1" a bar module, "0" a space."""
        return self.file("txt").decode("ascii")

    def _pixels(self):
        status, reason, width, height, pixels = self._native.pixels()
        return _checked(status, reason, (width, height, pixels))

    def to_image(self):
        """The picture as a Pillow image in RGB mode (needs Pillow)."""
        try:
            from PIL import Image
        except ImportError as error:
            raise ImportError("Symbol.to_image() needs Pillow (Debian: python3-pil)") from error
        width, height, pixels = self._pixels()
        return Image.frombytes("RGB", (width, height), bytes(pixels))

    def to_numpy(self):
        """The picture as a height x width x 3 array of uint8 (needs numpy)."""
        try:
            import numpy
        except ImportError as error:
            raise ImportError("Symbol.to_numpy() needs numpy (Debian: python3-numpy)") from error
        width, height, pixels = self._pixels()
        return numpy.frombuffer(pixels, dtype=numpy.uint8).reshape(height, width, 3)

    def _repr_png_(self):
        # Notebooks (IPython, Jupyter) show a symbol as this picture.
        return self.png()

    def __repr__(self):
        kind = "Compact PDF417" if self.compact else "PDF417"
        return (
            f"<barwright.Symbol: {kind}, {self.columns} columns, {self.rows} rows, "
            f"error correction level {self.error_correction_level}>"
        )


def encode(data, **options):
    """Encodes data (bytes, or str) into a PDF417 Symbol.

    The keywords are barwright's long options with their defaults: col=3,
    row=0, ecl=9, mode=0, cpdf=0, orient=0, xdim=2.0, y2x=4.0, xsize, ysize,
    qzone=1, alignh=1, alignv=1, fcolor="000000", bcolor="ffffff"; and
    shortest=False (the fewest data codewords, in place of mode),
    escapes=False (True reads the data's ~ escapes), eci (an ECI designator
    before bytes data) and macro=None, or (segments, file_id) for a Macro
    PDF417 file: then a list of Symbols.

    A str is encoded as ISO-8859-1 when it fits, else as UTF-8 behind an ECI
    designator (000026). Raises TypeError for an unknown keyword or a value of
    the wrong type, barwright.Error for a value out of range or data that no
    symbol of these settings holds."""
    macro = options.get("macro") is not None
    raw, texts = _options.symbol_texts("encode", data, options)
    status, reason, natives = _barwright.encode(raw, texts)
    symbols = _checked(status, reason, [Symbol(native) for native in natives])
    return symbols if macro else symbols[0]
