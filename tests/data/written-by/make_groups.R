# One two-group data set written by R in every format the import reads, for the test that an
# effect-size run by group names gives the same numbers whatever the format. In the CSV the
# groups are words; in the SPSS and Stata files they are labelled codes (treatment first, so
# that a code order and a word order would disagree); openxlsx writes the words.
library(haven)
library(openxlsx)
score <- c(12.5, 14, 11.25, 13, 15.5, 12, 10.75, 14.25, 16, 13.5,
           15, 17.25, 14.5, 18, 16.75, 15.25, 19, 13.75, 17.5, 16.5)
words <- rep(c("control", "treatment"), each = 10)
d <- data.frame(group = factor(words), score = score)
write.csv(d, "groups.csv", row.names = FALSE)
write.xlsx(d, "groups.xlsx")
codes <- ifelse(words == "treatment", 1, 2)
l <- data.frame(group = labelled(codes, c(treatment = 1, control = 2)), score = score)
write_sav(l, "groups.sav")
write_dta(l, "groups.dta")
