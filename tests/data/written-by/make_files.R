# The data set of the import table test, as R writes it: two groups, one missing score.
d <- data.frame(group = c(1, 1, 2, 2), score = c(12.5, 14, NA, 11.25))
write.csv(d, "r_write_csv.csv")
write.csv(d, "r_write_csv_no_row_names.csv", row.names = FALSE)
write.table(d, "r_write_table.txt", row.names = FALSE, quote = FALSE)
write.table(d, "r_write_table_no_names.txt", row.names = FALSE, col.names = FALSE)

# The same data with the groups named: a factor, as a data frame usually holds them.
t <- data.frame(group = factor(c("control", "control", "treatment", "treatment")),
                score = c(12.5, 14, NA, 11.25))
write.csv(t, "r_text_write_csv.csv")
write.csv(t, "r_text_write_csv_no_row_names.csv", row.names = FALSE)
write.table(t, "r_text_write_table.txt", row.names = FALSE, quote = FALSE)
# Data frames R ships, with their text columns and row names.
write.csv(iris, "r_iris.csv", row.names = FALSE)
write.csv(ToothGrowth, "r_toothgrowth.csv", row.names = FALSE)
write.csv(mtcars, "r_mtcars.csv")
# The statistics files of the import tests, as haven writes them: the same five cases as
# write_stat_files.cpp writes.
library(haven)
site <- c("north", "south", "", "north", "east")
visit <- as.Date(c("2024-03-01", "2024-03-02", NA, "1999-12-31", "2024-02-29"))
stamp <- as.POSIXct(c("2024-03-01 08:30:00", "2024-03-02 01:00:00", "1970-01-01 23:59:59",
                      "1999-12-31 00:00:00", "2024-02-29 12:34:56"), tz = "UTC")
groups <- c(control = 1, treatment = 2)
spss <- data.frame(
  group = labelled_spss(c(1, 2, 1, 2, 9), c(groups, "no answer" = 9), na_values = 9),
  score = labelled_spss(c(1.5, 2.25, NA, 95, 3), na_range = c(90, 99)),
  site = site, visit = visit, stamp = stamp)
write_sav(spss, "haven.sav")
write_sav(spss, "haven.zsav", compress = "zsav")
stata <- data.frame(
  group = labelled(c(1, 2, 1, 2, tagged_na("a")), groups),
  score = c(1.5, 2.25, NA, tagged_na("a"), 3),
  site = site, visit = visit, stamp = stamp)
write_dta(stata, "haven.dta")
write_xpt(data.frame(group = c(1, 2, 1, 2, NA), score = c(1.5, 2.25, NA, NA, 3),
                     site = site, visit = visit, stamp = stamp), "haven.xpt")
# The named groups in R's own file format, uncompressed: "X", a line end, then binary.
saveRDS(t, "r_saverds_uncompressed.rds", compress = FALSE)
