# Peer: R's boot with strata (each group resampled within itself), 2000 trials of d and
# robust d, and the percentile intervals of boot.ci.
#
# usage: Rscript bootstrap_boot.R FILE...
suppressPackageStartupMessages(library(boot))

trials <- 2000
level <- 0.95

group_stats <- function(x) {
  n <- length(x)
  g <- floor(n * 0.2)
  s <- sort(x)
  w <- s
  if (g > 0) {
    w[1:g] <- s[g + 1]
    w[(n - g + 1):n] <- s[n - g]
  }
  c(mean = mean(x), var = var(x), tmean = mean(s[(g + 1):(n - g)]), wvar = var(w))
}

effect_sizes <- function(y, i, codes) {
  yy <- y[i]
  cc <- codes[i]
  a <- group_stats(yy[cc == 1])
  b <- group_stats(yy[cc == 2])
  c((b[["mean"]] - a[["mean"]]) / sqrt(a[["var"]]),
    sqrt(0.4129) * (b[["tmean"]] - a[["tmean"]]) / sqrt(a[["wvar"]]))
}

for (path in commandArgs(trailingOnly = TRUE)) {
  data <- read.table(path, col.names = c("y", "code"))
  set.seed(20260501)
  start <- proc.time()
  b <- boot(data$y, effect_sizes, R = trials, strata = data$code, codes = data$code)
  d <- boot.ci(b, conf = level, type = "perc", index = 1)$percent[4:5]
  rd <- boot.ci(b, conf = level, type = "perc", index = 2)$percent[4:5]
  took <- proc.time() - start
  cpu <- took[["user.self"]] + took[["sys.self"]]
  cat(sprintf("peer %-22s %-28s %10.1f ms wall %10.1f ms cpu   d [%.3f, %.3f]  robust d [%.3f, %.3f]\n",
              "R boot (strata)", sprintf("bootstrap n=%d T=%d", sum(data$code == 1), trials),
              took[["elapsed"]] * 1000, cpu * 1000, d[1], d[2], rd[1], rd[2]))
}
