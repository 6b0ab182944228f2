# Peer: R's readxl::read_excel on a workbook's first sheet with a names row.
#
# usage: Rscript read_xlsx_readxl.R FILE
suppressPackageStartupMessages(library(readxl))
source(file.path(dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE))),
                 "common.R"))

time_read("readxl::read_excel", function(path) read_excel(path))
