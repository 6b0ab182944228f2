# Peer: R's data.table::fread on a semicolon and decimal-comma table with a names line, on two
# threads.
#
# usage: Rscript read_csv_fread.R FILE
suppressPackageStartupMessages(library(data.table))
source(file.path(dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE))),
                 "common.R"))

time_read("data.table::fread", function(path) fread(path, sep = ";", dec = ",", nThread = 2))
