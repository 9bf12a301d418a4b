"""barwright: PDF417 two-dimensional barcodes (ISO/IEC 15438).

    >>> import barwright
    >>> symbol = barwright.encode("Hello 123", col=4)
    >>> symbol.columns, symbol.rows
    (4, 4)
    >>> png = symbol.png()

``encode`` takes the keywords of the ``barwright`` command line's long
options (col, row, ecl, mode, cpdf, orient, xdim, y2x, xsize, ysize, qzone,
alignh, alignv, fcolor, bcolor) and returns a ``Symbol``, whose pictures are
``png()``, ``svg()``, ``eps()``, ``txt()``, ``to_image()`` and ``to_numpy()``.
``barwright.dask.write_csv`` makes the files of a CSV on a Dask cluster.
"""

from barwright._barwright import VERSION as __version__
from barwright._errors import Error, status_message
from barwright._symbol import Symbol, encode

__all__ = ["Error", "Symbol", "encode", "status_message", "__version__"]
