"""One CSV record made into its files, as barwright-batch makes it.

The Job holds what every record of a run shares and is shipped to the
workers; make_records runs there. The order of the checks, the statuses and
the messages are the batch program's, so that a record fails here exactly
when and as it fails there.
"""

import os

from barwright import _barwright
from barwright import _csvrecords
from barwright import _options
from barwright._errors import INVALID_ARGUMENT, status_message
from barwright._names import NameTemplate, TemplateError, is_contained_path, printable

OUTPUT_COLUMN = b"output"
SHORTEST_COLUMN = b"shortest"
# barwright's data default, which a record without a data cell encodes.
DEFAULT_DATA = b"1234567"
# barwright's statuses that the checks below use.
DATA_COUNT_ABOVE_928 = 7
CANT_OPEN_OUTPUT = 25
FAIL = 2
_BYTE_ORDER_MARK = b"\xef\xbb\xbf"
# A cell may be a megabyte long; a message shows its beginning.
_SHOWN_BYTES = 64


def text_of(message):
    """A message made of the input's bytes, as a str."""
    return message.decode("utf-8", "backslashreplace")


class HeaderError(ValueError):
    pass


class Columns:
    """The header row: for each column an option's long name, OUTPUT_COLUMN
    or SHORTEST_COLUMN."""

    def __init__(self, names):
        known = [name.encode("ascii") for name in _barwright.option_names()]
        self.names = []
        for i, name in enumerate(names):
            if i == 0 and name.startswith(_BYTE_ORDER_MARK):
                name = name[len(_BYTE_ORDER_MARK) :]
            shown = printable(name, True, _SHOWN_BYTES)
            if name not in known and name not in (OUTPUT_COLUMN, SHORTEST_COLUMN):
                listed = b", ".join(known + [OUTPUT_COLUMN, SHORTEST_COLUMN])
                raise HeaderError(b'unknown CSV column "%s" (known: %s)' % (shown, listed))
            if name in self.names:
                raise HeaderError(b'CSV column "%s" is named twice' % shown)
            self.names.append(name)

    def output_cell(self, cells):
        for name, cell in zip(self.names, cells):
            if name == OUTPUT_COLUMN:
                return cell
        return b""


class Job:
    """What every record of a run shares."""

    def __init__(self, columns, template, format, base_texts, shortest, dpi, time, macro, file_id,
                 any_path, folder):
        self.columns = columns
        self.template = template
        self.format = format
        self.base_texts = base_texts  # [(long name, text)]: the keywords
        self.shortest = shortest
        self.dpi = dpi
        self.time = time
        self.macro = macro  # 0: plain symbols
        self.file_id = file_id  # None: each record its own
        self.any_path = any_path
        self.folder = folder  # relative names are written under it (bytes)


class _Failure(Exception):
    """A record fails: its status, the detail, the file named in the message
    (None: the record's first) and the files written before."""

    def __init__(self, status, reason, name=None, written=0):
        super().__init__(status, reason, name, written)
        self.status = status
        self.reason = reason
        self.name = name
        self.written = written


def _apply_cells(job, cells):
    """The record's option texts and shortest choice; raises _Failure for
    the first cell (in column order) that is not a value of its column."""
    options = []  # (column, name, text)
    shortest = job.shortest
    bad_shortest = None
    for column, (name, cell) in enumerate(zip(job.columns.names, cells)):
        if not cell or name == OUTPUT_COLUMN:
            continue
        if name == SHORTEST_COLUMN:
            if cell not in (b"0", b"1"):
                bad_shortest = bad_shortest or (column, name, cell, b"is neither 1 nor 0")
            elif bad_shortest is None:
                shortest = cell == b"1"
            continue
        options.append((column, name, cell))
    texts = [(name.decode(), cell) for _, name, cell in options]
    refused = _barwright.refused_option(texts) if texts else -1
    bad_option = None
    if refused >= 0:
        column, name, cell = options[refused]
        bad_option = (column, name, cell, b"is not a value of this option")
    bad = min((b for b in (bad_shortest, bad_option) if b), default=None)
    if bad:
        _, name, cell, what = bad
        raise _Failure(
            INVALID_ARGUMENT,
            b'column "%s": "%s" %s' % (name, printable(cell, True, _SHOWN_BYTES), what),
        )
    return texts, shortest


def _names(job, number, output_cell):
    """The files of the record's symbols."""
    symbols = max(job.macro, 1)
    if not output_cell:
        return [job.template.expand(number, s) for s in range(1, symbols + 1)]
    shown = printable(output_cell, False)
    try:
        names = NameTemplate(output_cell)
    except TemplateError as error:
        raise _Failure(INVALID_ARGUMENT, b"output cell: " + error.args[0], shown) from None
    if job.macro > 1 and not names.uses_segment_number:
        raise _Failure(
            INVALID_ARGUMENT,
            b"the output cell needs {s} to name the symbols of macro apart",
            shown,
        )
    files = [names.expand(number, s) for s in range(1, symbols + 1)]
    for name in files:
        if not job.any_path and not is_contained_path(name):
            raise _Failure(
                CANT_OPEN_OUTPUT,
                b"an output cell may not leave the current folder; any_path=True allows it",
                printable(name, False),
            )
    return files


def _problem(problem, cells, header_size):
    if problem == _csvrecords.TOO_LONG:
        return _Failure(
            DATA_COUNT_ABOVE_928, b"the record is over %d bytes" % _csvrecords.RECORD_LIMIT
        )
    if problem == _csvrecords.WRONG_CELL_COUNT:
        return _Failure(
            INVALID_ARGUMENT, b"the row has %d cells, the header %d" % (len(cells), header_size)
        )
    return _Failure(INVALID_ARGUMENT, _csvrecords.PROBLEM_REASONS[problem].encode())


def _make_files(job, number, texts, shortest, names):
    """Encodes, draws and writes the record's files; returns how many were
    written, raises _Failure at the first that fails."""
    # Each record its own ID by default, as barwright-batch gives them.
    file_id = ""
    if job.macro > 0:
        file_id = job.file_id if job.file_id is not None else _options.file_id_text(number)
    status, _, symbols = _barwright.encode(
        DEFAULT_DATA, _barwright.NO_ECI, True, shortest, job.base_texts + texts, job.macro,
        file_id,
    )
    if status:
        reason = b""
        if status == INVALID_ARGUMENT and job.macro > 0:
            reason = b"the data has fewer bytes than macro asks for symbols"
        raise _Failure(status, reason)
    written = 0
    for symbol, name in zip(symbols, names):
        status, picture = symbol.draw(job.format, job.dpi, job.time)
        if status:
            raise _Failure(status, b"", names[0], written)
        status, error = _barwright.write_file(os.path.join(job.folder, name), picture)
        if status:
            raise _Failure(status, os.strerror(error).encode() if error else b"", name, written)
        written += 1
    return written


def make_record(job, record):
    """Makes one record's files. Returns (files written, None) or (files
    written, (status, the batch program's message line without its name))."""
    number, line, cells, problem, failure = record
    location = b"row %d (line %d)" % (number, line)
    names = []
    written = 0
    try:
        sound = problem == _csvrecords.NONE
        output_cell = job.columns.output_cell(cells) if sound else b""
        cell_failure = None
        texts, shortest = [], job.shortest
        if sound:
            try:
                texts, shortest = _apply_cells(job, cells)
            except _Failure as refused:
                cell_failure = refused
        names = _names(job, number, output_cell)
        if failure is not None:
            raise _Failure(*failure)
        if not sound:
            raise _problem(problem, cells, len(job.columns.names))
        if cell_failure is not None:
            raise cell_failure
        return _make_files(job, number, texts, shortest, names), None
    except _Failure as failed:
        name = failed.name if failed.name is not None else (names[0] if names else b"-")
        written = failed.written
        message = b"%s: %s: %s" % (
            location, printable(name, False), status_message(failed.status).encode()
        )
        if failed.reason:
            message += b" (" + failed.reason + b")"
        return written, (failed.status, text_of(message))
    except MemoryError:
        return written, (FAIL, text_of(location + b": out of memory"))


def make_records(records, job):
    """make_record for a partition of records: [(number, written, failure)]."""
    return [(record[0],) + make_record(job, record) for record in records]
