# Two groups named in words, scores with decimals and one missing, as R writes them in the
# dialects of continental Europe.
d <- data.frame(group = factor(c("control", "control", "treatment", "treatment", "control")),
                score = c(72.9, 65.25, NA, 80.1, 70))
write.csv2(d, "r_write_csv2.csv")
write.table(d, "r_write_table_tab_decimal_comma.txt", sep = "\t", dec = ",", row.names = FALSE)
# A German data set saved in the Windows code page.
g <- data.frame(Gruppe = c("Käse", "Käse", "Müsli", "Müsli"), Größe = c(1.5, 2.25, 3, 4.75),
                check.names = FALSE)
write.csv2(g, "r_write_csv2_cp1252.csv", row.names = FALSE, fileEncoding = "CP1252")
