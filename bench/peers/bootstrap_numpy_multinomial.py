"""Peer: the bootstrap of d and robust d drawn as multinomial counts of each group's distinct
values (numpy.unique, then Generator.multinomial, which draws conditional binomials), with every
statistic taken from the counts; 2000 trials in batches that keep each count array near 16 MB."""


import numpy as np

import common


def count_stats(counts, values, n):
    """Mean, variance, 20% trimmed mean and 20% Winsorized variance of each row of `counts`
    (a resample as how often it holds each of the ascending `values`), about a shift."""
    g = common.trim_count(n)
    shift = values.mean()
    x = values - shift
    s1, s2 = counts @ x, counts @ (x * x)
    mean = s1 / n + shift
    var = (s2 - s1 * s1 / n) / (n - 1)
    above = np.cumsum(counts, axis=1)
    below = above - counts
    kept = np.clip(above, g, n - g) - np.clip(below, g, n - g)
    low = x[np.argmax(above > g, axis=1)]
    high = x[np.argmax(above >= n - g, axis=1)]
    k1 = kept @ x
    tmean = k1 / (n - 2 * g) + shift
    w1 = g * low + k1 + g * high
    w2 = g * low * low + kept @ (x * x) + g * high * high
    wvar = (w2 - w1 * w1 / n) / (n - 1)
    return mean, var, tmean, wvar


def run(x1, x2, rng):
    v1, c1 = np.unique(x1, return_counts=True)
    v2, c2 = np.unique(x2, return_counts=True)
    n1, n2 = len(x1), len(x2)
    batch = max(1, 2_000_000 // max(len(v1), len(v2)))
    d, rd = [], []
    done = 0
    while done < common.TRIALS:
        b = min(batch, common.TRIALS - done)
        m1, s1, t1, w1 = count_stats(rng.multinomial(n1, c1 / n1, size=b), v1, n1)
        m2, _, t2, _ = count_stats(rng.multinomial(n2, c2 / n2, size=b), v2, n2)
        with np.errstate(divide="ignore", invalid="ignore"):
            d.append((m2 - m1) / np.sqrt(s1))
            rd.append(common.ROOT_0_4129 * (t2 - t1) / np.sqrt(w1))
        done += b
    return (common.percentile_interval(np.concatenate(d)),
            common.percentile_interval(np.concatenate(rd)))


if __name__ == "__main__":
    common.run_bootstrap_peer("numpy multinomial", run)
