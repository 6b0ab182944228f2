# A table as national statistics offices publish it for download: ten lines of titles, source,
# release date and notes above the table itself, each note one field, written by Python's csv
# module. The numbers are the scores of make_files.R in two regions.
import csv

notes = [
    "Table 3: Reading scores by group and region, 2024",
    "Survey of reading and numeracy, wave 2 (imitated)",
    "Source: national statistics office, household survey",
    "Released: 14 March 2025",
    "",
    "Notes:",
    "1. Scores are on a 0 to 100 scale.",
    "2. An empty cell is a score that was not recorded.",
    "Geography: all regions",
    "",
]
rows = [("North", 1, 72.9), ("North", 1, 65.25), ("North", 2, ""), ("North", 2, 80.1),
        ("South", 1, 70), ("South", 2, 68.5), ("South", 1, 77), ("South", 2, 74.25)]
with open("python_csv_notes_above_table.csv", "w", newline="") as f:
    w = csv.writer(f)
    for note in notes:
        w.writerow([note] if note else [])
    w.writerow(["region", "group", "score"])
    w.writerows(rows)
