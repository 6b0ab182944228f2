# Peer: R's haven::read_sav on an SPSS data file.
#
# usage: Rscript read_sav_haven.R FILE
suppressPackageStartupMessages(library(haven))
source(file.path(dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE))),
                 "common.R"))

time_read("haven::read_sav", function(path) read_sav(path))
