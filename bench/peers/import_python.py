"""Peer: reading a space-delimited data file with pandas.read_csv or numpy.loadtxt, in a process
of its own so that the peak resident memory is the reader's.

usage: import_python.py pandas|loadtxt FILE"""

import sys

import numpy as np

import common


def main():
    how, path = sys.argv[1], sys.argv[2]
    if how == "pandas":
        import pandas as pd
    before = common.peak_rss_mib()
    with common.Timer() as timer:
        if how == "pandas":
            data = pd.read_csv(path, sep=" ", header=None, dtype=np.float32, engine="c")
        else:
            data = np.loadtxt(path, dtype=np.float32)
    shape = data.shape
    name = "pandas.read_csv" if how == "pandas" else "numpy.loadtxt"
    common.report(name, f"import {shape[0]} x {shape[1]}", timer,
                  f"   peak RSS {common.peak_rss_mib():.1f} MiB ({before:.1f} before reading)")


if __name__ == "__main__":
    main()
