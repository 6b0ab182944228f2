# Shared by the R readers' peers: one read timed around the call alone, printed with the
# process's peak resident memory and the mean of the first variable (so a misread file shows).

peak_rss_mib <- function() {
  status <- readLines("/proc/self/status")
  as.numeric(sub("[^0-9]*([0-9]+).*", "\\1", grep("^VmHWM:", status, value = TRUE))) / 1024
}

time_read <- function(label, read) {
  path <- commandArgs(trailingOnly = TRUE)[1]
  before <- peak_rss_mib()
  start <- proc.time()
  data <- read(path)
  took <- proc.time() - start
  cpu <- took[["user.self"]] + took[["sys.self"]]
  cat(sprintf("peer %-22s %-28s %10.1f ms wall %10.1f ms cpu   peak RSS %.1f MiB (%.1f before reading)   mean of the first variable %.4f\n",
              label, sprintf("import %d x %d", nrow(data), ncol(data)),
              took[["elapsed"]] * 1000, cpu * 1000, peak_rss_mib(), before, mean(data[[1]])))
}
