"""The reference numbers of the BCa test (tests/core/test_bca_interval.cpp), from
scipy.stats.bootstrap(method='BCa'), an implementation independent of the program's.

Run once with /usr/bin/python3 (numpy and scipy from the distribution, scipy 1.10.1 here) and
copy what it prints into the test. It prints, for d and robust d standardized by Group 1:
  - the acceleration scipy's BCa uses (the jackknife over Group 1's values and then Group 2's),
    which depends on the data alone;
  - the 95% BCa interval at 1,000,000 resamples, the reference;
  - the standard deviation of each end over 40 runs of 20,000 resamples with different seeds:
    the bootstrap's own error at the test's 20,000 trials, which the tolerance is made from.
scipy keeps the resamples whose robust d is infinite (a Winsorized variance of 0: 1.6e-5 of them
here) where the program leaves them out; that moves the upper end of robust d by about 0.002,
far inside the tolerance.
"""

import numpy as np
from scipy import stats
from scipy.stats import _resampling

# The test's groups, as single-precision values like the program's data.
GROUP1 = [0.53, 1.21, 0.22, 3.05, 1.67, 0.79, 0.78, 1.28, 0.81, 0.83, 1.78, 1.51, 0.95, 0.95,
          0.64]
GROUP2 = [2.07, 1.11, 1.32, 2.83, 1.64, 0.61, 1.24, 3.08, 1.51, 1.64, 3.04]
X1 = np.array(GROUP1, dtype=np.float32).astype(np.float64)
X2 = np.array(GROUP2, dtype=np.float32).astype(np.float64)
LEVEL = float(np.float32(0.95))


def trim_count(n):
    return int(n * float(np.float32(0.2)))


def group_stats(x, axis=-1):
    """Mean, variance, 20% trimmed mean and 20% Winsorized variance along `axis`."""
    x = np.sort(np.moveaxis(np.asarray(x), axis, -1), axis=-1)
    n = x.shape[-1]
    g = trim_count(n)
    low, high = x[..., g:g + 1], x[..., n - g - 1:n - g]
    winsorized = np.clip(x, low, high)
    return (x.mean(axis=-1), x.var(axis=-1, ddof=1), x[..., g:n - g].mean(axis=-1),
            winsorized.var(axis=-1, ddof=1))


def effect_sizes(x1, x2, axis=-1):
    """d and robust d standardized by Group 1, stacked on a new first axis."""
    m1, v1, t1, w1 = group_stats(x1, axis)
    m2, _, t2, _ = group_stats(x2, axis)
    d = (m2 - m1) / np.sqrt(v1)
    robust = np.sqrt(0.4129) * (t2 - t1) / np.sqrt(w1)
    return np.stack([d, robust], axis=0)


def bca(resamples, seed):
    res = stats.bootstrap((X1, X2), effect_sizes, n_resamples=resamples, vectorized=True,
                          batch=50_000, confidence_level=LEVEL, method="BCa",
                          random_state=np.random.default_rng(seed))
    return np.array([res.confidence_interval.low, res.confidence_interval.high])


def main():
    observed = effect_sizes(X1, X2)
    # The acceleration does not depend on the resamples; any stand-in bootstrap values do.
    _, _, a_hat = _resampling._bca_interval((X1, X2), effect_sizes, axis=-1,
                                            alpha=(1 - LEVEL) / 2,
                                            theta_hat_b=observed[:, None] + [[-1.0, 1.0]],
                                            batch=None)
    reference = bca(1_000_000, 20260501)
    spread = np.std([bca(20_000, seed) for seed in range(40)], axis=0, ddof=1)
    for k, name in enumerate(["d", "robust d"]):
        print(f"{name}: observed {observed[k]!r} acceleration {a_hat[k]!r}")
        print(f"  BCa 95% at 1e6: ({reference[0][k]!r}, {reference[1][k]!r})")
        print(f"  SD of the ends at 20,000: ({spread[0][k]!r}, {spread[1][k]!r})")


if __name__ == "__main__":
    main()
