# The data set of the import table test, as R writes it: two groups, one missing score.
d <- data.frame(group = c(1, 1, 2, 2), score = c(12.5, 14, NA, 11.25))
write.csv(d, "r_write_csv.csv")
write.csv(d, "r_write_csv_no_row_names.csv", row.names = FALSE)
write.table(d, "r_write_table.txt", row.names = FALSE, quote = FALSE)
write.table(d, "r_write_table_no_names.txt", row.names = FALSE, col.names = FALSE)
