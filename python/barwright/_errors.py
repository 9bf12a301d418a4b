"""barwright.Error: what the library's statuses become in Python."""

from barwright import _barwright

# barwright's status for a value out of range (kInvalidArgument).
INVALID_ARGUMENT = 1


class Error(ValueError):
    """A value barwright refuses, or a symbol it cannot make.

    ``status`` is barwright's number for the failure (1 for a keyword value out
    of range, as the command line's status), and the message starts with
    barwright's text for it ("Error: ...").
    """

    def __init__(self, status, message):
        super().__init__(message)
        self.status = status

    # Exceptions cross process boundaries (Dask workers) by pickling, which by
    # default would call Error(message) without the status.
    def __reduce__(self):
        return (type(self), (self.status, str(self)))


def status_message(status):
    """barwright's one-line text for a status, "Error: ..." (or "Ok." for 0)."""
    return _barwright.status_message(status)


def failure(status, detail=""):
    """The Error for a status, with the detail in parentheses after its text."""
    message = status_message(status)
    return Error(status, f"{message} ({detail})" if detail else message)
