"""CSV records as barwright-batch --csv reads them.

The same rules byte for byte, so that a file gives the same records, line
numbers and faults here as there: RFC 4180 rows of cells under a header row;
outside quotes a line feed, or a carriage return and a line feed, ends a row,
and a lone carriage return is data; inside quotes everything is data and ""
is one quote; blank lines are skipped but counted. A quote inside an
unquoted cell or text after a closing quote, the input ending inside quotes,
a row with another number of cells than the header, or a row over the size
limit makes a faulty record, which fails on its own.
"""

import re

# What a record may hold: its cells' bytes, and this much for each cell, so
# that a row of nothing but commas is bounded as well as a long cell.
RECORD_LIMIT = 16 * 1024 * 1024
CELL_OVERHEAD = 32

# Record faults, in the order of how much of the record they spoil: a record
# with several carries the last.
NONE = 0
WRONG_CELL_COUNT = 1
STRAY_QUOTE = 2
UNTERMINATED_QUOTE = 3
TOO_LONG = 4

PROBLEM_REASONS = {
    STRAY_QUOTE: "a quote inside an unquoted cell, or text after a closing quote",
    UNTERMINATED_QUOTE: "the input ends inside a quoted cell",
}

_UNQUOTED_RUN = re.compile(rb'[^,"\r\n]+')
_QUOTED_RUN = re.compile(rb'[^"\n]+')

# Where a row's reading stands.
_FIELD_START, _UNQUOTED, _QUOTED, _QUOTE_SEEN = range(4)


class _Row:
    """One row as it is read."""

    def __init__(self, line):
        self.line = line  # where it begins
        self.cells = [bytearray()]
        self.problem = NONE
        self.has_content = False  # anything besides a line ending: not a blank line
        self.state = _FIELD_START

    def note(self, problem):
        self.problem = max(self.problem, problem)

    def append(self, data):
        self.cells[-1] += data

    def carriage_return_as_data(self):
        self.has_content = True
        if self.state == _QUOTE_SEEN:
            self.note(STRAY_QUOTE)
        self.append(b"\r")
        self.state = _UNQUOTED


class _Reader:
    """Rows of bytes, one at a time, with the line numbers."""

    def __init__(self, text):
        self.text = text
        self.pos = 0
        self.line = 1

    def line_break(self):
        """True when a line ends at pos (a line feed, or CR LF), and steps
        over it; a lone carriage return is no line break."""
        text, pos = self.text, self.pos
        if text[pos : pos + 1] == b"\n":
            self.pos += 1
        elif text[pos : pos + 2] == b"\r\n":
            self.pos += 2
        else:
            return False
        self.line += 1
        return True

    def row(self):
        """The next row that is not blank, or None at the end."""
        row = _Row(self.line)
        end = len(self.text)
        while self.pos < end:
            if row.state != _QUOTED and self.line_break():
                if row.has_content:
                    return row
                row = _Row(self.line)
                continue
            self.read_piece(row)
        if not row.has_content:
            return None
        if row.state == _QUOTED:
            row.note(UNTERMINATED_QUOTE)
        return row

    def read_piece(self, row):
        """Reads a run of plain bytes, or one byte, at pos (not a line break
        outside quotes)."""
        text = self.text
        if row.state == _QUOTED:
            run = _QUOTED_RUN.match(text, self.pos)
            if run:
                row.append(run.group())
                self.pos = run.end()
                return
            c = text[self.pos : self.pos + 1]
            self.pos += 1
            if c == b"\n":
                self.line += 1  # a line break inside quotes is data
                row.append(c)
            else:
                row.state = _QUOTE_SEEN
            return
        if row.state != _QUOTE_SEEN:
            run = _UNQUOTED_RUN.match(text, self.pos)
            if run:
                row.append(run.group())
                row.has_content = True
                row.state = _UNQUOTED
                self.pos = run.end()
                return
        c = text[self.pos : self.pos + 1]
        self.pos += 1
        if c == b"\r":
            row.carriage_return_as_data()
        elif c == b",":
            row.has_content = True
            row.cells.append(bytearray())
            row.state = _FIELD_START
        elif row.state == _QUOTE_SEEN:
            if c == b'"':
                row.append(c)
                row.state = _QUOTED
            else:
                row.note(STRAY_QUOTE)
                row.append(c)
                row.state = _UNQUOTED
        elif row.state == _FIELD_START:  # c is a quote
            row.has_content = True
            row.state = _QUOTED
        else:
            row.note(STRAY_QUOTE)
            row.append(c)


def rows(text):
    """Yields (line, cells, problem) for every row of text (bytes), the
    header first, blank lines skipped. cells are bytes; a row over
    RECORD_LIMIT keeps none. The caller compares the count with the header."""
    reader = _Reader(text)
    while True:
        row = reader.row()
        if row is None:
            return
        cells = [bytes(cell) for cell in row.cells]
        if sum(map(len, cells)) + CELL_OVERHEAD * len(cells) > RECORD_LIMIT:
            row.note(TOO_LONG)
            cells = []
        yield row.line, cells, row.problem
