"""barwright-batch --csv on a Dask cluster.

    from distributed import Client
    import barwright.dask
    client = Client("scheduler-host:8786")          # or a LocalCluster
    barwright.dask.write_csv("tickets.csv", "out/ticket-{n}.png", client, col=4)

The client reads the CSV and cuts it into records; the workers make the
symbols and write the files, named as barwright-batch names them, so every
worker must see the same folder (a shared file system) and import barwright
(the python3-barwright package, a PYTHONPATH, or upload(client)).
"""

import collections
import io
import itertools
import mmap
import os
import zipfile

import dask.bag

from barwright import _barwright
from barwright import _csvrecords
from barwright import _options
from barwright import _records
from barwright._errors import Error, INVALID_ARGUMENT, out_of_range
from barwright._names import NameTemplate, TemplateError

# barwright-batch's status for a bad command line, CSV header or
# SOURCE_DATE_EPOCH: refused before any file is written.
USAGE_STATUS = 64
FORMATS = ("png", "png1", "svg", "eps", "txt")
# Records are cut from the input and sent this many partitions at a time.
_PARTITIONS_A_WINDOW = 16


def _usage(message):
    return Error(USAGE_STATUS, message)


def _source_date_epoch():
    """SOURCE_DATE_EPOCH as barwright-batch reads it: unset or empty is
    none, else digits only, up to the year 9999."""
    value = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not value:
        return _barwright.NO_TIME
    if not (value.isascii() and value.isdigit()) or int(value) > _options.LAST_PNG_TIME:
        raise _usage(f"SOURCE_DATE_EPOCH '{value}' is not a number of seconds since 1970 "
                     "(up to the year 9999)")
    return int(value)


def _format_of(format, names):
    if format is None:
        format = names.format()
        if format is None:
            raise _usage(
                f"cannot tell the format from '{_records.text_of(names.text)}': name it with "
                "format= (png, png1, svg, eps or txt)"
            )
        return format
    if not isinstance(format, str):
        raise TypeError(f"format takes a str, not {type(format).__name__}")
    if format not in FORMATS:
        raise out_of_range("format", format, "png, png1, svg, eps or txt")
    return format


def _macro_of(macro):
    """(segments, fixed file ID or None) of macro=N or (N, file_id)."""
    if macro is None:
        return 0, None
    if isinstance(macro, tuple):
        segments, file_id = _options.macro_settings(macro)
        return segments, file_id
    return _options.segment_count("macro", macro), None


def _job(template, format, dpi, time, macro, any_path, shortest, options):
    """The run's Job from write_csv's keywords; raises before any file is
    written, as barwright-batch refuses a bad command line."""
    if isinstance(template, os.PathLike):
        template = os.fspath(template)
    if not isinstance(template, (str, bytes)):
        raise TypeError(f"template takes a str, not {type(template).__name__}")
    try:
        names = NameTemplate(os.fsencode(template))
    except TemplateError as error:
        raise _usage(f"TEMPLATE '{_records.text_of(os.fsencode(template))}': "
                     f"{_records.text_of(error.args[0])}") from None
    if names.text == b"-":
        raise _usage("write_csv writes files: TEMPLATE '-' (standard output) names none")
    format = _format_of(format, names)
    dpi = _options.dpi_value(dpi)
    if dpi and format == "txt":
        raise out_of_range("dpi", dpi, "no resolution has a meaning for the txt format")
    segments, file_id = _macro_of(macro)
    if segments > 1 and not names.uses_segment_number:
        raise _usage(f"macro {segments} needs {{s}} in TEMPLATE to name the segments apart")
    data = options.pop("data", None)
    texts = _options.option_texts(options)
    for keyword in options:
        raise _options.unexpected("write_csv", keyword)
    if data is not None:
        raw, eci = _options.data_bytes(data)
        if eci != _barwright.NO_ECI:
            raise out_of_range("data", data, "CSV records take bytes or ISO-8859-1 text")
        texts.insert(0, ("data", data, raw))
    base = [(keyword, text) for keyword, _, text in texts]
    refused = _barwright.refused_option(base)
    if refused >= 0:
        raise _options.refused(texts, refused)
    time = _options.time_value(time) if time is not None else _source_date_epoch()
    return _records.Job(None, names, format, base, _options.flag("shortest", shortest), dpi,
                        time, segments, file_id, _options.flag("any_path", any_path),
                        os.fsencode(os.getcwd()))


def _records_of(rows, job):
    """The records to make, as tuples for make_record; stops where
    barwright-batch stops reading (a second record for a TEMPLATE without
    {n})."""
    first_template_record = 0
    for number, (line, cells, problem) in enumerate(rows, start=1):
        if problem < _csvrecords.WRONG_CELL_COUNT and len(cells) != len(job.columns.names):
            problem = _csvrecords.WRONG_CELL_COUNT
        failure = None
        sound = problem == _csvrecords.NONE
        if not (sound and job.columns.output_cell(cells)):
            if first_template_record == 0:
                first_template_record = number
            elif not job.template.uses_record_number:
                failure = (INVALID_ARGUMENT,
                           b"TEMPLATE has no {n}, so this record would replace the file of "
                           b"record %d" % first_template_record)
        yield number, line, cells, problem, failure
        if failure is not None:
            return


def _header(path, rows):
    """The Columns of the header row, or None for an input without rows."""
    shown = os.fsdecode(path)
    try:
        line, names, problem = next(rows)
    except StopIteration:
        return None
    if problem != _csvrecords.NONE:
        reason = ("it is too long" if problem == _csvrecords.TOO_LONG
                  else _csvrecords.PROBLEM_REASONS[problem])
        raise _usage(f"{shown}: line 1: the header row is not sound CSV ({reason})")
    try:
        return _records.Columns(names)
    except _records.HeaderError as error:
        raise _usage(f"{shown}: line 1: {_records.text_of(error.args[0])}") from None


def write_csv(path, template, client=None, *, format=None, dpi=None, time=None, macro=None,
              any_path=False, shortest=False, partition_size=1000, **options):
    """Makes a file for each record of the CSV at path, as
    ``barwright-batch --csv --input path [options] template`` does.

    The CSV has a header row of barwright's long option names (data, col, ecl,
    ...), output and shortest; a non-empty cell sets its option for its record.
    template names the files ({n} the record number, {n:W} zero-padded, {s}
    the Macro segment). The keywords are encode's symbol keywords and data,
    for every record, and barwright-batch's: format (png, png1, svg, eps,
    txt; by default the template's extension), dpi, time (seconds or a
    datetime for the PNG files; by default SOURCE_DATE_EPOCH, else none),
    macro (N symbols a record, each record its own file ID, or (N, file_id)),
    any_path and shortest. The work runs on client (a distributed.Client),
    else on the default client, else on local threads.

    Returns the number of files written. Once every record is made, raises
    barwright.Error for the first failing record in input order, with its
    status and barwright-batch's message naming its row and line; the
    error's ``failures`` lists (status, message) of every failing record,
    ``written`` the files written. Raises before any file is made for bad
    keywords (TypeError for a wrong type), a bad header or template."""
    job = _job(template, format, dpi, time, macro, any_path, shortest, dict(options))
    if not (isinstance(partition_size, int) and partition_size > 0):
        raise out_of_range("partition_size", partition_size, "at least 1 record")
    with open(path, "rb") as file:
        # Mapped rather than read: the records are cut from it a window at
        # a time, so that the client holds little of a long input at once.
        size = os.fstat(file.fileno()).st_size
        text = mmap.mmap(file.fileno(), 0, access=mmap.ACCESS_READ) if size else b""
    try:
        rows = _csvrecords.rows(text)
        job.columns = _header(path, rows)
        if job.columns is None:
            return 0
        if client is None:
            client = _default_client()
        written, failures = _make(job, _records_of(rows, job), client, partition_size)
    finally:
        if size:
            text.close()
    if failures:
        status, message = failures[0]
        error = Error(status, message)
        error.failures = failures
        error.written = written
        raise error
    return written


def _make(job, records, client, partition_size):
    """Makes the records a window at a time, a Dask bag of each; on a
    cluster the next window is sent while one is made, so the workers never
    wait. Returns the files written and every failure, in input order."""
    window = partition_size * _PARTITIONS_A_WINDOW
    written = 0
    failures = []
    pending = collections.deque()

    def collect(results):
        nonlocal written
        for _, files, failure in results:
            written += files
            if failure is not None:
                failures.append(failure)

    while True:
        chunk = list(itertools.islice(records, window))
        if not chunk:
            break
        bag = dask.bag.from_sequence(chunk, partition_size=partition_size)
        made = bag.map_partitions(_records.make_records, job)
        if client is None:
            collect(made.compute(scheduler="threads"))
            continue
        pending.append(client.compute(made))
        if len(pending) > 1:
            collect(pending.popleft().result())
    while pending:
        collect(pending.popleft().result())
    return written, failures


def _default_client():
    try:
        from distributed import default_client
        return default_client()
    except (ImportError, ValueError):
        return None


def upload(client):
    """Sends this barwright package to every worker of client, for workers
    that cannot import it themselves (call it again for workers that join
    later). They must run the same Python on the same kind of machine: the
    module is native. Returns, for each worker's address, the folder the
    module went to, or None where the worker had it already."""
    folder = os.path.dirname(os.path.abspath(__file__))
    archive = io.BytesIO()
    with zipfile.ZipFile(archive, "w") as z:
        for name in sorted(os.listdir(folder)):
            if name.endswith((".py", ".so")):
                z.write(os.path.join(folder, name), "barwright/" + name)

    # Defined here so that it travels by value: the workers cannot import
    # this module yet.
    def install(data, dask_worker=None):
        import importlib, importlib.util, io, sys, tempfile, zipfile
        # A worker that has the module already keeps it: its native half may
        # be loaded, and must not be written over.
        if importlib.util.find_spec("barwright") is not None:
            return None
        # In the worker's own folder, which goes when the worker does.
        folder = dask_worker.local_directory if dask_worker is not None else None
        target = tempfile.mkdtemp(prefix="barwright-", dir=folder)
        with zipfile.ZipFile(io.BytesIO(data)) as z:
            z.extractall(target)
        sys.path.insert(0, target)
        importlib.invalidate_caches()
        return target

    return client.run(install, archive.getvalue())
