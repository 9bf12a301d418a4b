#!/usr/bin/python3
"""barwright's Python module beside zxing-cpp's, side by side in one process.

On the workloads of bench/time-batch (records made the same way):
  digits   seven-digit numbers, col=3 (level 2, the automatic choice)
  invoice  219 characters of invoice text led by the record number, col=10, ecl=4
it prints symbols per second of
  barwright  encode(...).png()            (the 1-bit PNG of barwright's pixels)
  barwright  the same in zxing-cpp's picture size (xsize=, ysize=)
  barwright  encode(...) and the 24-bit PNG barwright writes (barwright-batch's png)
  zxing-cpp  write_barcode(PDF417, text, width, height, ec_level) + Pillow's PNG,
             asked for barwright's picture size
and barwright's on 1 and 2 threads (the interpreter lock is released while a
symbol is encoded and drawn). Run by hand: timings on a shared machine say
nothing as pass or fail. Each figure is the best of ROUNDS rounds.

    PYTHONPATH=build/python /usr/bin/python3 bench/python/speed.py [ROUNDS]
"""

import io
import os
import sys
import threading
import time

import zxingcpp
from PIL import Image

import barwright

RECORDS = 2000
HERE = os.path.dirname(os.path.abspath(__file__))


def workloads():
    with open(os.path.join(HERE, "..", "data", "medium.txt")) as file:
        text = file.readline().rstrip("\n")
    digits = ["%07d" % (1000000 + (i * 7919) % 9000000) for i in range(1, RECORDS + 1)]
    invoices = ["%05d %s" % (i, text[(i * 37) % 70 : (i * 37) % 70 + 219])
                for i in range(1, RECORDS + 1)]
    return [("digits", digits, {"col": 3}, 2), ("invoice", invoices, {"col": 10, "ecl": 4}, 4)]


def best_rate(make, records, rounds):
    """Symbols a second: the best of the rounds."""
    best = 0.0
    for _ in range(rounds):
        start = time.perf_counter()
        for record in records:
            make(record)
        best = max(best, len(records) / (time.perf_counter() - start))
    return best


def threaded_rate(make, records, threads, rounds):
    best = 0.0
    share = [records[i::threads] for i in range(threads)]
    for _ in range(rounds):
        workers = [threading.Thread(target=lambda part=part: [make(r) for r in part])
                   for part in share]
        start = time.perf_counter()
        for worker in workers:
            worker.start()
        for worker in workers:
            worker.join()
        best = max(best, len(records) / (time.perf_counter() - start))
    return best


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    print(f"{RECORDS} records a workload, best of {rounds} rounds, {os.cpu_count()} CPUs, "
          f"load {os.getloadavg()[0]:.2f}")
    for name, records, options, level in workloads():
        sample = barwright.encode(records[0], **options)
        height, width, _ = sample.to_numpy().shape

        def ours(record):
            return barwright.encode(record, **options).png()

        def ours_rgb(record):
            return barwright.encode(record, **options).file("png")

        def zxing(record):
            pixels = zxingcpp.write_barcode(zxingcpp.BarcodeFormat.PDF417, record, width=width,
                                            height=height, ec_level=level)
            out = io.BytesIO()
            Image.fromarray(pixels).save(out, "PNG")
            return out.getvalue()

        theirs = zxingcpp.write_barcode(zxingcpp.BarcodeFormat.PDF417, records[0], width=width,
                                        height=height, ec_level=level)
        print(f"== {name}: {options}, barwright {width}x{height} px "
              f"({len(ours(records[0]))} B PNG), zxing-cpp {theirs.shape[1]}x{theirs.shape[0]} px "
              f"({len(zxing(records[0]))} B PNG)")
        def ours_at_their_size(record):
            return barwright.encode(record, xsize=int(theirs.shape[1]), ysize=int(theirs.shape[0]),
                                    **options).png()

        rates = {
            "barwright encode().png()": best_rate(ours, records, rounds),
            "barwright at zxing's size": best_rate(ours_at_their_size, records, rounds),
            "barwright 24-bit PNG": best_rate(ours_rgb, records, rounds),
            "zxing-cpp + Pillow PNG": best_rate(zxing, records, rounds),
        }
        for label, rate in rates.items():
            print(f"  {label:28} {rate:9.0f} /s  {1000 / rate:6.3f} ms")
        ratio = rates["barwright encode().png()"] / rates["zxing-cpp + Pillow PNG"]
        print(f"  barwright / zxing-cpp        {ratio:9.2f}x")
        one = threaded_rate(ours, records, 1, rounds)
        two = threaded_rate(ours, records, 2, rounds)
        print(f"  threads: 1 {one:.0f} /s, 2 {two:.0f} /s, {two / one:.2f}x")


if __name__ == "__main__":
    main()
