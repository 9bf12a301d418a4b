"""barwright.dask.write_csv against barwright-batch --csv: the same files,
byte for byte, and the same first failure, on a distributed.LocalCluster of
two workers, on local threads for seeded random CSVs, and on a scheduler and
worker started as the README says, the module uploaded to the worker."""

import os
import random
import subprocess
import sys
import time

import pytest
from distributed import Client, LocalCluster

import barwright
import barwright.dask
from conftest import run_batch

EPOCH = "1700000000"
PREFIX = b"barwright-batch: "

TICKETS = (
    "data,col,ecl,orient,output,shortest,fcolor\n"
    "Ticket 1 for Ann,4,,,,,\n"
    "\"Ticket 2, with a comma\",,3,90,,1,\n"
    "\"multi\nline ~X00 NUL\",6,,,named-{n}.out,,000080\n"
    "bad column,x,,,,,\n"
    "\n"
    "0123456789012345678901234567890,2,5,180,,0,\n"
    "stray\"quote,3,,,,,\n"
    "too,few\n"
    "Ünïcode bytes,5,,270,,,ff0000\n"
)

# (keywords of write_csv, the same as barwright-batch's options, TEMPLATE)
RUNS = [
    ({}, [], "out/{n}.png"),
    ({"format": "png1", "dpi": 300}, ["--format", "png1", "--dpi", "300"], "out/{n:3}.x"),
    ({"xdim": 3, "qzone": 0}, ["--xdim", "3", "--qzone", "0"], "out/t-{n}.svg"),
    ({"dpi": 72, "col": 7}, ["--dpi", "72", "--col", "7"], "out/{n}.eps"),
    ({}, [], "out/{n}.txt"),
    ({"macro": 2}, ["--macro", "2"], "out/{n}-{s}.png"),
    ({"macro": (2, "#001002")}, ["--macro", "2", "--file-id", "#001002"], "out/{n}-{s:2}.svg"),
    ({"mkdir": True, "any_path": True}, ["--mkdir", "--any-path"], "made/{n:2}/t.png"),
]


def files(folder):
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as file:
                found[os.path.relpath(path, folder)] = file.read()
    return found


def compare(batch_exe, tmp_path, monkeypatch, csv_bytes, keywords, options, template,
            client=None):
    """Runs both on the CSV in folders of their own; asserts the same files
    and the same first failure."""
    batch, python = tmp_path / "batch", tmp_path / "python"
    for folder in (batch, python):
        folder.mkdir()
        (folder / "out").mkdir()
        (folder / "in.csv").write_bytes(csv_bytes)
    status, errors = run_batch(batch_exe, ["--csv", "--input", "in.csv", *options, template],
                               batch, epoch=EPOCH)
    monkeypatch.chdir(python)
    monkeypatch.setenv("SOURCE_DATE_EPOCH", EPOCH)
    try:
        written = barwright.dask.write_csv("in.csv", template, client, **keywords)
        failures, lines = [], []
    except barwright.Error as error:
        if error.status == 64:  # refused before any record, as a whole
            written, failures, lines = 0, [(64, str(error))], [str(error)]
        else:
            written, failures, lines = error.written, error.failures, error.lines
        assert (error.status, str(error)) == failures[0]
    # What barwright-batch prints, line for line, and its status.
    assert [PREFIX + line.encode() for line in lines] == errors.splitlines()
    assert (failures[0][0] if failures else 0) == status
    made = files(python)
    assert made == files(batch)
    assert written == len(made) - 1  # all but the input
    return made


@pytest.fixture(scope="module")
def cluster_client():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        yield client


@pytest.mark.parametrize("keywords, options, template", RUNS, ids=[r[2] for r in RUNS])
def test_local_cluster_writes_barwright_batchs_files(batch_exe, tmp_path, monkeypatch,
                                                     cluster_client, keywords, options,
                                                     template):
    made = compare(batch_exe, tmp_path, monkeypatch, TICKETS.encode("utf-8"), keywords, options,
                   template, cluster_client)
    assert len(made) > 5


def test_records_go_a_window_at_a_time(batch_exe, tmp_path, monkeypatch, cluster_client):
    # A window is 16 partitions: one record a partition makes four windows of
    # these 50 records, with failures in several.
    header, rows = TICKETS.split("\n", 1)
    text = header + "\n" + rows * 6
    compare(batch_exe, tmp_path, monkeypatch, text.encode("utf-8"), {"partition_size": 1}, [],
            "out/{n}.svg", cluster_client)


# Random cells: data made of awkward pieces (quotes, separators, line
# breaks of every kind, escapes), and option values mostly good.
_PIECES = ['"', '""', ",", "\n", "\r\n", "\r", "~N", "~X41", "~", "ab", "12", "é", " "]
_VALUES = {
    "col": ["", "", "3", "0", "6", "x"],
    "ecl": ["", "", "2", "9", "10"],
    "mode": ["", "", "0", "3", "1", "-3"],
    "shortest": ["", "", "0", "1", "2"],
    "orient": ["", "", "90", "270", "45"],
    "output": ["", "", "", "o/{n}.txt", "../x{n}.txt", "{x}", "o/a-{n}.txt", "missing/{n}.txt"],
}


def random_cell(r, column):
    if column in _VALUES:
        return r.choice(_VALUES[column])
    cell = "".join(r.choice(_PIECES) for _ in range(r.randint(0, 4)))
    if r.random() < 0.6:  # quoted as a CSV writer would
        return '"' + cell.replace('"', '""') + '"'
    return cell


def random_csv(r):
    columns = ["data"] + r.sample(list(_VALUES), r.randint(0, 4))
    r.shuffle(columns)
    lines = [",".join(columns)]
    for _ in range(r.randint(0, 8)):
        cells = [random_cell(r, column) for column in columns]
        if r.random() < 0.05:
            cells.pop()
        lines.append(",".join(cells))
    return ("\r\n" if r.random() < 0.3 else "\n").join(lines).encode("utf-8")


def test_random_csvs_as_barwright_batch(batch_exe, tmp_path, monkeypatch):
    r = random.Random(21)
    for case in range(60):
        folder = tmp_path / str(case)
        folder.mkdir()
        template = r.choice(["out/{n}.txt", "out/{n}.svg", "out/one.txt"])
        text = random_csv(r)
        try:
            compare(batch_exe, folder, monkeypatch, text, {}, [], template)
        except AssertionError as error:
            raise AssertionError(f"case {case}: {text!r}") from error


# Headers refused before any record (barwright-batch's status 64), and rows
# at the edges of the CSV rules: carriage returns alone, at the end, after
# a closing quote; blank lines; a byte order mark; no rows at all.
EDGES = [
    b"data,colour\nx,1\n",
    b"data,data\nx,y\n",
    b"\xef\xbb\xbfdata,\"col\nx\n",
    b"",
    b"\xef\xbb\xbfdata,col\r\n\r\nab\r,2\r\n\n\"q\"\r,3\n\"\"\r\nx\r",
    b"data\n\"a\"\"b\"\"\"\n\"open\n\nstill open",
    b"col,data\n\n\n2,\"two\nlines\"x\n,\n\"\"",
]


@pytest.mark.parametrize("text", EDGES)
def test_edges_as_barwright_batch(batch_exe, tmp_path, monkeypatch, text):
    compare(batch_exe, tmp_path, monkeypatch, text, {}, [], "out/{n}.png")


def test_keywords_are_refused_before_any_file(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    (tmp_path / "in.csv").write_bytes(b"data\nx\n")
    for keywords, template, error in [
        ({"col": "3"}, "{n}.png", TypeError),
        ({"colour": 3}, "{n}.png", TypeError),
        ({"format": "gif"}, "{n}.png", barwright.Error),
        ({"dpi": 72}, "{n}.txt", barwright.Error),
        ({}, "{n}.gif", barwright.Error),
        ({}, "{n", barwright.Error),
        ({}, "-", barwright.Error),
        ({"macro": 2}, "{n}.png", barwright.Error),
    ]:
        with pytest.raises(error):
            barwright.dask.write_csv("in.csv", template, **keywords)
    monkeypatch.setenv("SOURCE_DATE_EPOCH", "soon")
    with pytest.raises(barwright.Error, match="SOURCE_DATE_EPOCH") as e:
        barwright.dask.write_csv("in.csv", "{n}.png")
    assert e.value.status == 64
    assert os.listdir(tmp_path) == ["in.csv"]


def test_scheduler_and_worker_as_on_many_machines(tmp_path, monkeypatch):
    # The worker has no PYTHONPATH: it gets the module from the client.
    scheduler_file = tmp_path / "scheduler.json"
    environment = {k: v for k, v in os.environ.items() if k != "PYTHONPATH"}
    environment["PYTHONDONTWRITEBYTECODE"] = "1"
    dask = [sys.executable, "-m", "distributed.cli.dask_scheduler"]
    scheduler = subprocess.Popen([*dask, "--scheduler-file", str(scheduler_file), "--port", "0",
                                  "--dashboard-address", ":0", "--host", "127.0.0.1"],
                                 env=environment, stderr=subprocess.DEVNULL)
    worker = None
    try:
        for _ in range(300):
            if scheduler_file.exists():
                break
            time.sleep(0.1)
        worker = subprocess.Popen([sys.executable, "-m", "distributed.cli.dask_worker",
                                   "--scheduler-file", str(scheduler_file), "--nthreads", "2",
                                   "--no-dashboard"],
                                  env=environment, stderr=subprocess.DEVNULL,
                                  cwd=tmp_path)
        with Client(scheduler_file=str(scheduler_file)) as client:
            client.wait_for_workers(1, timeout=60)
            assert not any(client.run(lambda: "barwright" in sys.modules).values())
            assert all(barwright.dask.upload(client).values())
            assert not any(barwright.dask.upload(client).values())  # nothing written over
            monkeypatch.chdir(tmp_path)
            (tmp_path / "in.csv").write_bytes(b"data,col\nfirst,3\nsecond,4\n")
            assert barwright.dask.write_csv("in.csv", "{n}.png", client, time=0) == 2
        for number, (data, col) in enumerate([("first", 3), ("second", 4)], start=1):
            expected = barwright.encode(data, col=col).file("png", time=0)
            assert (tmp_path / f"{number}.png").read_bytes() == expected
    finally:
        for process in (worker, scheduler):
            if process is not None:
                process.terminate()
                process.wait(timeout=60)
