# The data set of the import table test, as pandas and numpy write it.
import numpy as np
import pandas as pd

d = pd.DataFrame({"group": [1, 1, 2, 2], "score": [12.5, 14, np.nan, 11.25]})
d.to_csv("pandas_to_csv.csv")
d.to_csv("pandas_to_csv_no_index.csv", index=False)
# What a spreadsheet saves as "CSV UTF-8": a byte-order mark and CR LF line ends.
d.to_csv("pandas_utf8_sig_crlf.csv", index=False, encoding="utf-8-sig", lineterminator="\r\n")
d.to_csv("pandas_tab.txt", index=False, sep="\t")
np.savetxt("numpy_savetxt.txt", d.to_numpy())

# The same data with the groups named, missing scores written empty and as "NA".
t = pd.DataFrame({"group": ["control", "control", "treatment", "treatment"],
                  "score": [12.5, 14, np.nan, 11.25]})
t.to_csv("pandas_text_to_csv.csv")
t.to_csv("pandas_text_to_csv_no_index.csv", index=False, na_rep="NA")
