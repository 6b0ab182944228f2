"""Peer: scipy.stats.bootstrap with method='percentile' over the two independent samples, both
effect sizes from one vectorised statistic."""

import sys

import numpy as np
from scipy import stats

import common


def main():
    for path in sys.argv[1:]:
        x1, x2 = common.read_groups(path)
        n = max(len(x1), len(x2))
        with common.Timer() as timer:
            res = stats.bootstrap((x1, x2), common.effect_sizes, n_resamples=common.TRIALS,
                                  method="percentile", vectorized=True,
                                  batch=max(1, 2_000_000 // n), confidence_level=common.LEVEL,
                                  random_state=np.random.default_rng(20260501))
        ci = res.confidence_interval
        common.report("scipy.stats.bootstrap", f"bootstrap n={len(x1)} T={common.TRIALS}",
                      timer,
                      f"   d [{ci.low[0]:.3f}, {ci.high[0]:.3f}]  "
                      f"robust d [{ci.low[1]:.3f}, {ci.high[1]:.3f}]")


if __name__ == "__main__":
    main()
