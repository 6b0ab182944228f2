"""Peer: a vectorised numpy bootstrap of d and robust d, 2000 trials, each group resampled
within itself, in batches of trials that keep the index array near 16 MB."""


import numpy as np

import common


def run(x1, x2, rng):
    n1, n2 = len(x1), len(x2)
    batch = max(1, 2_000_000 // max(n1, n2))
    stores = []
    done = 0
    while done < common.TRIALS:
        b = min(batch, common.TRIALS - done)
        r1 = x1[rng.integers(0, n1, size=(b, n1))]
        r2 = x2[rng.integers(0, n2, size=(b, n2))]
        stores.append(common.effect_sizes(r1, r2))
        done += b
    es = np.concatenate(stores, axis=1)
    return common.percentile_interval(es[0]), common.percentile_interval(es[1])


if __name__ == "__main__":
    common.run_bootstrap_peer("numpy", run)
