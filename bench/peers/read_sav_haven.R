# Peer: R's haven::read_sav on an SPSS data file, timed around the read call alone, with the
# process's peak resident memory.
#
# usage: Rscript read_sav_haven.R FILE
suppressPackageStartupMessages(library(haven))

peak_rss_mib <- function() {
  status <- readLines("/proc/self/status")
  as.numeric(sub("[^0-9]*([0-9]+).*", "\\1", grep("^VmHWM:", status, value = TRUE))) / 1024
}

path <- commandArgs(trailingOnly = TRUE)[1]
before <- peak_rss_mib()
start <- proc.time()
data <- read_sav(path)
took <- proc.time() - start
cpu <- took[["user.self"]] + took[["sys.self"]]
cat(sprintf("peer %-22s %-28s %10.1f ms wall %10.1f ms cpu   peak RSS %.1f MiB (%.1f before reading)\n",
            "haven::read_sav", sprintf("import %d x %d", nrow(data), ncol(data)),
            took[["elapsed"]] * 1000, cpu * 1000, peak_rss_mib(), before))
