"""barwright-batch --csv on a Dask cluster.

    from distributed import Client
    import barwright.dask
    client = Client("scheduler-host:8786")          # or a LocalCluster
    barwright.dask.write_csv("tickets.csv", "out/ticket-{n}.png", client, col=4)

The client reads the CSV and cuts it into records; the workers make the
symbols and write the files, named as barwright-batch names them, so every
worker must see the same folder (a shared file system) and import barwright
(the python3-barwright package, a PYTHONPATH, or upload(client)). Both
halves are the native module's, over the records, checks, messages and
files that barwright-batch itself is made of.
"""

import collections
import io
import mmap
import os
import zipfile

import dask.bag

from barwright import _barwright
from barwright import _options
from barwright._errors import Error, failure

# Records are cut from the input and sent this many partitions at a time.
_PARTITIONS_A_WINDOW = 16


def _run_args(template, format, dpi, macro, options):
    """The run as the native calls take it: (template, format, option
    texts); raises TypeError for a keyword of the wrong type or unknown."""
    if isinstance(template, os.PathLike):
        template = os.fspath(template)
    if not isinstance(template, (str, bytes)):
        raise TypeError(f"template takes a str, not {type(template).__name__}")
    if format is not None and not isinstance(format, str):
        raise TypeError(f"format takes a str, not {type(format).__name__}")
    texts = []
    data = options.pop("data", None)
    if data is not None:
        raw, utf8 = _options.data_bytes(data)
        if utf8:
            raise TypeError("data takes bytes or ISO-8859-1 text: a CSV record's data is bytes")
        texts.append(("data", raw))
    texts += _options.option_texts(options)
    texts += _options.macro_texts(macro, "write_csv")
    texts += _options.output_texts(dpi, None)
    for keyword in options:
        raise _options.unexpected("write_csv", keyword)
    return os.fsencode(template), format or "", texts


def _source_date_epoch():
    """The time of SOURCE_DATE_EPOCH as barwright-batch reads it: None when
    it is unset or empty; raises for a malformed value."""
    given, valid, seconds, problem = _barwright.source_date_epoch(
        os.environ.get("SOURCE_DATE_EPOCH")
    )
    if given and not valid:
        raise Error(_barwright.USAGE_STATUS, problem)
    return seconds if given else None


def write_csv(path, template, client=None, *, format=None, dpi=None, time=None, macro=None,
              any_path=False, mkdir=False, partition_size=1000, **options):
    """Makes a file for each record of the CSV at path, as
    ``barwright-batch --csv --input path [options] template`` does.

    The CSV has a header row of barwright's long option names (data, col, ecl,
    ...), output, shortest and hex; a non-empty cell sets its option for its
    record. template names the files ({n} the record number, {n:W}
    zero-padded, {s} the Macro segment). The keywords are encode's and data,
    for every record (escapes=True by default, as barwright-batch reads
    cells), and barwright-batch's: format (png, png1, svg, eps, txt; by
    default the template's extension), dpi, time (seconds or a datetime; by
    default SOURCE_DATE_EPOCH, else none), macro (N symbols a record, each
    record its own file ID, or (N, file_id)), any_path and mkdir. The work
    runs on client (a distributed.Client), else on the default client, else
    on local threads.

    Returns the number of files written. Once every record is made, raises
    barwright.Error for the first failing record in input order, with its
    status and barwright-batch's message for it; the error's ``failures``
    lists (status, message) of every failing record, ``lines`` what
    barwright-batch prints (a line a failure, those of missing folders
    summed up at the end), ``written`` the files written. Raises before any
    file is made for bad keywords (TypeError for a wrong type), a bad
    header, template or SOURCE_DATE_EPOCH."""
    options.setdefault("escapes", True)
    run_args = _run_args(template, format, dpi, macro, dict(options))
    if time is None:
        time = _source_date_epoch()
    run_args[2].extend(_options.output_texts(None, time))
    any_path = _options.flag("any_path", any_path)
    mkdir = _options.flag("mkdir", mkdir)
    if not (isinstance(partition_size, int) and partition_size > 0):
        raise TypeError(f"partition_size takes an int above 0, not {partition_size!r}")
    status, message = _barwright.check_run(*run_args, any_path)
    if status == _barwright.USAGE_STATUS:
        raise Error(status, message)
    if status:
        raise failure(status, message)
    with open(path, "rb") as file:
        # Mapped rather than read: the records are cut from it a window at
        # a time, so that the client holds little of a long input at once.
        size = os.fstat(file.fileno()).st_size
        text = mmap.mmap(file.fileno(), 0, access=mmap.ACCESS_READ) if size else b""
    try:
        outcomes, stopped = _read_and_make(path, text, run_args, any_path, mkdir, client,
                                           partition_size)
    finally:
        if size:
            text.close()
    return _written(outcomes, stopped)


def _read_and_make(path, text, run_args, any_path, mkdir, client, partition_size):
    """Every record's outcome, and the failure that ended the reading early
    (or None)."""
    feed = _barwright.RecordFeed(text, *run_args, any_path)
    try:
        status, message, empty = feed.read_header()
        if status:
            raise Error(_barwright.USAGE_STATUS, f"{os.fsdecode(path)}: line 1: {message}")
        if empty:
            return [], None
        job = (run_args, any_path, os.fsencode(os.getcwd()), mkdir, feed.header())
        outcomes = _make(job, feed, client or _default_client(), partition_size)
        return outcomes, feed.stopped()
    finally:
        feed.close()  # before the mapping, which it holds


def _written(outcomes, stopped):
    """The files written; raises for the first failure, with what
    barwright-batch would print."""
    written = 0
    failures = []
    lines = []
    missing = collections.Counter()
    for _, files, status, message, missing_folder in outcomes:
        written += files
        if status:
            failures.append((status, message))
            if missing_folder:
                missing[missing_folder] += 1
            else:
                lines.append(message)
    if stopped is not None:
        failures.append(stopped)
        lines.append(stopped[1])
    if not failures:
        return written
    lines += [_barwright.missing_folder_message(folder, n) for folder, n in missing.items()]
    error = Error(*failures[0])
    error.failures, error.lines, error.written = failures, lines, written
    raise error


def _write_partition(records, job):
    run_args, any_path, folder, mkdir, header = job
    return _barwright.write_records(*run_args, any_path, folder, mkdir, header, records)


def _make(job, feed, client, partition_size):
    """Makes the records a window at a time, a Dask bag of each; on a
    cluster the next window is sent while one is made, so the workers never
    wait. Returns every record's outcome, in input order."""
    window = partition_size * _PARTITIONS_A_WINDOW
    outcomes = []
    pending = collections.deque()
    while True:
        chunk = feed.next(window)
        if not chunk:
            break
        bag = dask.bag.from_sequence(chunk, partition_size=partition_size)
        made = bag.map_partitions(_write_partition, job)
        if client is None:
            outcomes += made.compute(scheduler="threads")
            continue
        pending.append(client.compute(made))
        if len(pending) > 1:
            outcomes += pending.popleft().result()
    while pending:
        outcomes += pending.popleft().result()
    return outcomes


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
