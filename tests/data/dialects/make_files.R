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
# Sixty cases of five columns as R lays them out to be read by eye: print() and format() align
# the columns with runs of spaces.
set.seed(25)
aligned <- data.frame(id = 1:60, group = rep(c("control", "treatment"), 30),
                      age = sample(18:70, 60, replace = TRUE),
                      score = round(rnorm(60, 70, 8), 1), rt = round(runif(60, 0.3, 0.9), 3))
aligned$score[7] <- NA
writeLines(capture.output(print(aligned, row.names = FALSE)), "r_print_aligned.txt")
write.table(format(aligned), "r_format_aligned.txt", quote = FALSE, row.names = FALSE)
# A survey export: one case per answer and a free-text comment that holds line breaks, in
# quotes, as Qualtrics, LimeSurvey and Google Forms write their CSV files.
survey <- data.frame(id = 1:8, group = c(1, 2, 1, 2, 1, 2, 1, 2),
                     score = c(72.9, 65.25, NA, 80.1, 70, 68.5, 77, 74.25),
                     comment = c("Clear and short.", "Too long.\nThe second part dragged.", "",
                                 "Fine", "Loved it,\n\"really\".\n\nWould do it again.", NA,
                                 "ok", "Two lines:\nfirst\nsecond"))
write.csv(survey, "r_write_csv_survey_multiline.csv", row.names = FALSE)
# The data set above as a database exports it: fields joined by pipes, nothing quoted.
write.table(d, "r_write_table_pipe.txt", sep = "|", quote = FALSE, row.names = FALSE)
# Tab-delimited columns padded with spaces, as format() pads them for the eye and trading and
# database exports write them: " group" is the name group, "   NA" a missing score.
padded <- format(data.frame(id = c(1, 12, 123, 1234),
                            group = format(c("control", "treatment", "control", "treatment")),
                            score = c(72.9, 65.25, NA, 80.1)))
names(padded) <- formatC(names(padded), width = 7)
write.table(padded, "r_format_tab_padded.txt", sep = "\t", quote = FALSE, row.names = FALSE)
