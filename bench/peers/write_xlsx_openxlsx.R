# Writes the benchmark sheet (corvane_benchdata sheet FILE: a names line, then numbers and a text
# column) as R's openxlsx writes a data frame: every number cell typed t="n", the texts shared.
#
# usage: Rscript write_xlsx_openxlsx.R TABLE OUT.xlsx
suppressPackageStartupMessages(library(openxlsx))
args <- commandArgs(trailingOnly = TRUE)
d <- read.table(args[1], header = TRUE, colClasses = c(rep("numeric", 10), "character"))
write.xlsx(d, args[2], sheetName = "data")
