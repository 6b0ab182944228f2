# The trial data set of the spreadsheet import tests as R's openxlsx writes it.
library(openxlsx)
d <- data.frame(group = c(1, 1, 2, 2), arm = c("control", "control", "treated", "treated"),
                score = c(12.5, 14, NA, 11.25), visit = as.Date("2024-03-01") + 0:3)
write.xlsx(d, "openxlsx_trial.xlsx", sheetName = "trial")
