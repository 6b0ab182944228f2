# R's own data files for the R reader's tests, as R writes them. Run in this folder:
#   Rscript make_rdata.R
trial <- data.frame(
  group = factor(c("control", "control", "treatment", "treatment", "control"),
                 levels = c("control", "treatment")),
  score = c(12.5, 14, NA, 11.25, 9),
  count = c(3L, NA, 5L, 7L, 1L),
  done = c(TRUE, FALSE, NA, TRUE, TRUE),
  site = c("north", "south", NA, "north", "east"),
  visit = as.Date(c("2024-03-01", "2024-03-02", NA, "1999-12-31", "2024-02-29")),
  stamp = as.POSIXct(c("2024-03-01 08:30:00", "2024-03-02 01:00:00", NA,
                       "1999-12-31 00:00:00", "2024-02-29 12:34:56"), tz = "UTC"),
  stringsAsFactors = FALSE)
for (packing in c("none", "gzip", "bzip2", "xz")) {
  saveRDS(trial, paste0("trial_", packing, ".rds"),
          compress = if (packing == "none") FALSE else packing)
}
# A workspace of two data frames, saved by R's defaults (gzip).
ratings <- data.frame(rater = c("a", "b"), rating = c(4, 5))
save(trial, ratings, file = "two_frames.RData")
# A data frame beside a vector and a fitted model, in save's .rda spelling, packed with xz.
scores <- c(1.5, 2.5)
model <- lm(score ~ group, data = trial)
save(scores, model, trial, file = "frame_and_more.rda", compress = "xz")
# No data frame at all.
save(scores, file = "no_frame.RData")
# Objects that are not data frames.
saveRDS(c(1.5, 2.5, NA), "vector.rds")
saveRDS(matrix(1:4, 2), "matrix.rds")
# The batch tool's two groups (../written-by/groups.csv) as a factor whose levels put treatment
# first, saved by saveRDS's defaults.
groups <- read.csv("../written-by/groups.csv")
groups$group <- factor(groups$group, levels = c("treatment", "control"))
saveRDS(groups, "groups.rds")
# A data frame followed by 1:3, which R writes as a compact sequence (its ends and its step).
ids <- 1:3
save(trial, ids, file = "frame_then_sequence.RData")
