# The same data as make_files.R, as pandas writes it with a semicolon and a decimal comma.
import numpy as np
import pandas as pd

d = pd.DataFrame({"group": ["control", "control", "treatment", "treatment", "control"],
                  "score": [72.9, 65.25, np.nan, 80.1, 70]})
d.to_csv("pandas_semicolon_decimal_comma.csv", sep=";", decimal=",", index=False)
g = pd.DataFrame({"Gruppe": ["Käse", "Käse", "Müsli", "Müsli"], "Größe": [1.5, 2.25, 3, 4.75]})
g.to_csv("pandas_cp1252.csv", sep=";", decimal=",", index=False, encoding="cp1252")

# The survey export of make_files.R as pandas writes it, with Windows line ends between the
# records; one comment holds a Windows line end of its own.
survey = pd.DataFrame({
    "id": range(1, 9),
    "group": [1, 2, 1, 2, 1, 2, 1, 2],
    "score": [72.9, 65.25, np.nan, 80.1, 70, 68.5, 77, 74.25],
    "comment": ["Clear and short.", "Too long.\nThe second part dragged.", "", "Fine",
                'Loved it,\n"really".\n\nWould do it again.', np.nan, "ok",
                "Two lines:\r\nfirst\r\nsecond"]})
survey.to_csv("pandas_survey_multiline.csv", index=False, lineterminator="\r\n")
