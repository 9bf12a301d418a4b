"""Symbols made on several threads at once, the interpreter lock released
while they are encoded and drawn, are the symbols made one after another."""

from concurrent.futures import ThreadPoolExecutor

import barwright
from conftest import random_cases


def made(case):
    data, options = case
    try:
        symbol = barwright.encode(data, **options)
        return symbol.codewords, symbol.png(), symbol.svg(), symbol.to_numpy().tobytes()
    except barwright.Error as error:
        return error.status, str(error)


def test_threads_make_the_same_symbols():
    cases = random_cases(5, 40) * 3
    alone = [made(case) for case in cases]
    with ThreadPoolExecutor(max_workers=4) as pool:
        assert list(pool.map(made, cases)) == alone



def test_the_lock_is_released_while_encoding_and_drawing():
    # With a switch interval longer than the test, a thread holding the lock
    # keeps it until it lets go itself. The counting thread lets go after
    # every step; the main thread only inside encode and png. So the count
    # moves across those calls only if they release the lock (on a busy
    # machine the counting thread may need several of them to be scheduled).
    import sys
    import threading
    import time

    steps = [0]
    done = threading.Event()

    def count():
        while not done.is_set():
            steps[0] += 1
            time.sleep(0)

    data = ("0123456789abcdefGHIJ" * 40).encode()
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000)
    counter = threading.Thread(target=count)
    try:
        counter.start()
        before = steps[0]
        deadline = time.monotonic() + 30
        while steps[0] == before and time.monotonic() < deadline:
            barwright.encode(data, shortest=True, col=20).png()
        during = steps[0] - before
    finally:
        done.set()
        sys.setswitchinterval(interval)
        counter.join()
    assert during > 0
