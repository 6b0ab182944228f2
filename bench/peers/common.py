"""Shared helpers of the Python peers: the data files and the two effect sizes."""

import math
import os
import resource
import sys
import time

import numpy as np

TRIALS = int(os.environ.get("CORVANE_BENCH_TRIALS", "2000"))
LEVEL = 0.95
ROOT_0_4129 = math.sqrt(0.4129)


def read_groups(path):
    """The "value code" lines written by corvane_benchdata, as two float64 arrays."""
    data = np.loadtxt(path, dtype=np.float64)
    return data[data[:, 1] == 1, 0], data[data[:, 1] == 2, 0]


def trim_count(n):
    return int(n * float(np.float32(0.2)))


def group_stats(x, axis=-1):
    """Mean, variance, 20% trimmed mean and 20% Winsorized variance along `axis`, with
    np.partition at the two cut points instead of a full sort."""
    x = np.moveaxis(np.asarray(x), axis, -1)
    n = x.shape[-1]
    g = trim_count(n)
    mean = x.mean(axis=-1)
    var = x.var(axis=-1, ddof=1)
    p = np.partition(x, [g, n - g - 1], axis=-1)
    kept = p[..., g:n - g]
    st = kept.sum(axis=-1)
    low, high = p[..., g], p[..., n - g - 1]
    tmean = st / (n - 2 * g)
    wmean = (g * low + st + g * high) / n
    qw = g * low * low + (kept * kept).sum(axis=-1) + g * high * high
    wvar = (qw / n - wmean * wmean) * (n / (n - 1))
    return mean, var, tmean, wvar


def effect_sizes(x1, x2, axis=-1):
    """d and robust d standardized by Group 1, stacked on a new first axis."""
    m1, v1, t1, w1 = group_stats(x1, axis)
    m2, _, t2, _ = group_stats(x2, axis)
    with np.errstate(divide="ignore", invalid="ignore"):
        d = (m2 - m1) / np.sqrt(v1)
        rd = ROOT_0_4129 * (t2 - t1) / np.sqrt(w1)
    return np.stack([d, rd], axis=0)


def percentile_interval(values, level=LEVEL):
    """The interval the program reads: positions tail + 1 and m - tail of the sorted values."""
    values = np.sort(values[np.isfinite(values)])
    m = len(values)
    if m == 0:
        return 0.0, 0.0
    tail = int(round((1 - float(np.float32(level))) / 2 * m))
    return values[tail], values[m - tail - 1]


def peak_rss_mib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0


class Timer:
    """Wall and processor time of a block: on a shared machine the processor time is the
    steadier figure."""

    def __enter__(self):
        self.wall, self.cpu = time.perf_counter(), time.process_time()
        return self

    def __exit__(self, *exc):
        self.wall = time.perf_counter() - self.wall
        self.cpu = time.process_time() - self.cpu


def report(peer, what, timer, extra=""):
    print(f"peer {peer:<22} {what:<28} {timer.wall * 1000:10.1f} ms wall "
          f"{timer.cpu * 1000:10.1f} ms cpu{extra}", flush=True)


def run_bootstrap_peer(name, run):
    """Times `run(x1, x2, rng)` on each data file named on the command line and reports its
    two percentile intervals."""
    for path in sys.argv[1:]:
        x1, x2 = read_groups(path)
        rng = np.random.default_rng(20260501)
        with Timer() as timer:
            d, rd = run(x1, x2, rng)
        report(name, f"bootstrap n={len(x1)} T={TRIALS}", timer,
               f"   d [{d[0]:.3f}, {d[1]:.3f}]  robust d [{rd[0]:.3f}, {rd[1]:.3f}]")
