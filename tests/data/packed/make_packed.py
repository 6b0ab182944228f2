# The packed and UTF-16 files of the packed-file tests, as pandas and Python's own codecs and
# zipfile write them. One table: a site named with letters outside ASCII (one outside the
# Basic Multilingual Plane, a surrogate pair in UTF-16), a count and a score with a gap.
import codecs
import zipfile

import numpy as np
import pandas as pd

d = pd.DataFrame({"site": ["Zürich", "São Paulo", "Kraków", "Forêt 🌲"],
                  "visits": [3, 5, 2, 4],
                  "score": [12.5, np.nan, 11.25, 9.0]})

# Excel's "Unicode Text": tab-delimited UTF-16 with a byte-order mark, little-endian here.
d.to_csv("pandas_utf16.txt", sep="\t", index=False, encoding="utf-16")
# Big-endian, with and without a byte-order mark.
text = d.to_csv(index=False)
with codecs.open("python_utf16be_bom.csv", "w", encoding="utf-16-be") as f:
    f.write("\ufeff" + text)
with codecs.open("python_utf16be.csv", "w", encoding="utf-16-be") as f:
    f.write(text)

# Compressed by pandas, told by the name.
d.to_csv("pandas.csv.gz", index=False)
d.to_csv("pandas.csv.bz2", index=False)
d.to_csv("pandas.csv.xz", index=False)
d.to_csv("pandas_zip.zip", index=False, compression="zip")

# A zip of two data files: the table as text, and the counts alone as tab-delimited text.
with zipfile.ZipFile("python_two.zip", "w", compression=zipfile.ZIP_DEFLATED) as z:
    z.writestr("tables/sites.csv", text)
    z.writestr("visits.tsv", d[["visits"]].to_csv(sep="\t", index=False))
