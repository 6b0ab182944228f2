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
