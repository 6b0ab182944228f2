# The table of make_packed.py as data.table's fwrite gzips it, and as R's gzfile writes it.
library(data.table)
d <- data.frame(site = c("Zürich", "São Paulo", "Kraków", "Forêt \U0001F332"),
                visits = c(3L, 5L, 2L, 4L), score = c(12.5, NA, 11.25, 9))
fwrite(d, "r_fwrite.csv.gz")
con <- gzfile("r_gzfile.csv.gz", "w", encoding = "UTF-8")
write.csv(d, con, row.names = FALSE)
close(con)
