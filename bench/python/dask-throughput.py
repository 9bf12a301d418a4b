#!/usr/bin/python3
"""barwright.dask.write_csv on one worker core beside barwright-batch --jobs 1.

Writes the files of a CSV of seven-digit numbers (col=3) and of invoice text
(col=10, ecl=4), as in bench/time-batch, once through a LocalCluster of one
worker with one thread and once through barwright-batch, and prints records
a second. Run by hand: timings on a shared machine say nothing as pass or
fail. The files go under $BENCH_DIR, else $TMPDIR or /tmp.

    PYTHONPATH=build/python /usr/bin/python3 bench/python/dask-throughput.py [RECORDS]
"""

import os
import subprocess
import sys
import tempfile
import time

from distributed import Client, LocalCluster

import barwright.dask

HERE = os.path.dirname(os.path.abspath(__file__))
BATCH = os.path.abspath(os.environ.get(
    "BARWRIGHT_BATCH_EXE", os.path.join(HERE, "..", "..", "build", "batch", "barwright-batch")))


def write_workloads(folder, records):
    with open(os.path.join(HERE, "..", "data", "medium.txt")) as file:
        text = file.readline().rstrip("\n")
    with open(os.path.join(folder, "digits.csv"), "w") as file:
        file.write("data\n")
        for i in range(1, records + 1):
            file.write("%07d\n" % (1000000 + (i * 7919) % 9000000))
    with open(os.path.join(folder, "invoice.csv"), "w") as file:
        file.write("data\n")
        for i in range(1, records + 1):
            cell = "%05d %s" % (i, text[(i * 37) % 70 : (i * 37) % 70 + 219])
            file.write('"%s"\n' % cell.replace('"', '""'))
    return [("digits", {"col": 3}, ["--col", "3"]),
            ("invoice", {"col": 10, "ecl": 4}, ["--col", "10", "--ecl", "4"])]


def main():
    records = int(sys.argv[1]) if len(sys.argv) > 1 else 20000
    folder = tempfile.mkdtemp(prefix="dask-throughput.",
                              dir=os.environ.get("BENCH_DIR") or tempfile.gettempdir())
    os.chdir(folder)
    workloads = write_workloads(folder, records)
    print(f"{records} records a workload, files in {folder}, load {os.getloadavg()[0]:.2f}")
    with LocalCluster(n_workers=1, threads_per_worker=1, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        for name, keywords, options in workloads:
            os.mkdir(f"dask-{name}")
            start = time.perf_counter()
            barwright.dask.write_csv(f"{name}.csv", f"dask-{name}/{{n}}.png", client, **keywords)
            dask_rate = records / (time.perf_counter() - start)
            os.mkdir(f"batch-{name}")
            start = time.perf_counter()
            subprocess.run([BATCH, "--quiet", "--jobs", "1", "--csv", "--input", f"{name}.csv",
                            *options, f"batch-{name}/{{n}}.png"], check=True)
            batch_rate = records / (time.perf_counter() - start)
            print(f"== {name}: write_csv on one worker core {dask_rate:.0f} /s, "
                  f"barwright-batch --jobs 1 {batch_rate:.0f} /s")
    subprocess.run(["rm", "-rf", folder], check=True)


if __name__ == "__main__":
    main()
