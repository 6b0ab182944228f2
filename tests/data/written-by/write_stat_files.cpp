// Writes the statistics files of the import tests with ReadStat's own writer (see make_files.sh).
// Every file holds the same five cases:
//   group  1 2 1 2 and a missing one (SPSS: the user-missing code 9; Stata, SAS: tagged .a)
//   score  1.5 2.25, system-missing, a missing one (SPSS: 95 in the missing range 90-99;
//          Stata, SAS: tagged .a) and 3
//   site   "north" "south" "" "north" "east"
//   visit  2024-03-01 2024-03-02, missing, 1999-12-31 2024-02-29 (a date)
//   stamp  2024-03-01 08:30:00 and four more date-times
// The portable file names them in capitals, as its format asks. SPSS and Stata files label group 1
// "control" and 2 "treatment".
#include <readstat.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace {

enum class Family { Spss, Stata, Sas };

ssize_t WriteBytes(const void* bytes, size_t len, void* ctx) {
    return static_cast<ssize_t>(std::fwrite(bytes, 1, len, static_cast<std::FILE*>(ctx)));
}

void Check(readstat_error_t e, const char* what) {
    if (e != READSTAT_OK) {
        std::fprintf(stderr, "%s: %s\n", what, readstat_error_message(e));
        std::exit(1);
    }
}

// Days from 1970-01-01 to the dates of the visit column.
constexpr double kVisitDays[] = {19783, 19784, 0, 10956, 19782};
constexpr double kStampSeconds[] = {30600, 3600, 86399, 0, 45296};  // after midnight of visit
constexpr double kGroup[] = {1, 2, 1, 2, 9};
constexpr double kScore[] = {1.5, 2.25, 0, 95, 3};
const char* const kSite[] = {"north", "south", "", "north", "east"};

// A writer into a new file at `path`.
readstat_writer_t* NewWriter(const std::string& path, std::FILE*& out) {
    out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        std::exit(1);
    }
    readstat_writer_t* w = readstat_writer_init();
    readstat_set_data_writer(w, WriteBytes);
    // A fixed creation time, so that writing again gives the same bytes.
    readstat_writer_set_file_timestamp(w, 1709251200);
    return w;
}

void Write(const std::string& path, Family family, bool upperNames,
           readstat_error_t (*begin)(readstat_writer_t*, void*, long), bool compressed = false) {
    std::FILE* out = nullptr;
    readstat_writer_t* w = NewWriter(path, out);
    if (compressed) readstat_writer_set_compression(w, READSTAT_COMPRESS_BINARY);
    // Stata keeps tagged missing values from format 113 on.
    if (family == Family::Stata) readstat_writer_set_file_format_version(w, 118);

    readstat_label_set_t* groups = nullptr;
    if (family != Family::Sas) {
        groups = readstat_add_label_set(
            w, family == Family::Stata ? READSTAT_TYPE_INT32 : READSTAT_TYPE_DOUBLE, "groups");
        if (family == Family::Stata) {
            readstat_label_int32_value(groups, 1, "control");
            readstat_label_int32_value(groups, 2, "treatment");
            readstat_label_tagged_value(groups, 'a', "no answer");
        } else {
            readstat_label_double_value(groups, 1, "control");
            readstat_label_double_value(groups, 2, "treatment");
            readstat_label_double_value(groups, 9, "no answer");
        }
    }
    readstat_variable_t* group =
        readstat_add_variable(w, upperNames ? "GROUP" : "group", READSTAT_TYPE_DOUBLE, 0);
    if (groups) readstat_variable_set_label_set(group, groups);
    readstat_variable_t* score =
        readstat_add_variable(w, upperNames ? "SCORE" : "score", READSTAT_TYPE_DOUBLE, 0);
    readstat_variable_t* site =
        readstat_add_variable(w, upperNames ? "SITE" : "site", READSTAT_TYPE_STRING, 8);
    readstat_variable_t* visit =
        readstat_add_variable(w, upperNames ? "VISIT" : "visit", READSTAT_TYPE_DOUBLE, 0);
    readstat_variable_t* stamp =
        readstat_add_variable(w, upperNames ? "STAMP" : "stamp", READSTAT_TYPE_DOUBLE, 0);
    if (family == Family::Spss) {
        Check(readstat_variable_add_missing_double_value(group, 9), "missing value");
        Check(readstat_variable_add_missing_double_range(score, 90, 99), "missing range");
    }
    readstat_variable_set_format(visit, family == Family::Spss    ? "DATE11"
                                        : family == Family::Stata ? "%td"
                                                                  : "DATE9");
    readstat_variable_set_format(stamp, family == Family::Spss    ? "DATETIME20"
                                        : family == Family::Stata ? "%tc"
                                                                  : "DATETIME20");

    // SPSS counts seconds from 1582-10-14, Stata and SAS days (or Stata milliseconds, SAS
    // seconds) from 1960-01-01.
    const double epochDays = family == Family::Spss ? 141428 : 3653;
    // SAS writes its tags in capitals.
    const char tag = family == Family::Sas ? 'A' : 'a';
    const bool tagged = family != Family::Spss;
    Check(begin(w, out, 5), "begin");
    for (int i = 0; i < 5; ++i) {
        Check(readstat_begin_row(w), "row");
        if (i == 4 && tagged)
            Check(readstat_insert_tagged_missing_value(w, group, tag), "group");
        else
            Check(readstat_insert_double_value(w, group, kGroup[i]), "group");
        if (i == 2)
            Check(readstat_insert_missing_value(w, score), "score");
        else if (i == 3 && tagged)
            Check(readstat_insert_tagged_missing_value(w, score, tag), "score");
        else
            Check(readstat_insert_double_value(w, score, kScore[i]), "score");
        Check(readstat_insert_string_value(w, site, kSite[i]), "site");
        const double days = kVisitDays[i] + epochDays;
        if (i == 2)
            Check(readstat_insert_missing_value(w, visit), "visit");
        else
            Check(readstat_insert_double_value(w, visit,
                                               family == Family::Spss ? days * 86400 : days),
                  "visit");
        const double seconds = days * 86400 + kStampSeconds[i];
        Check(readstat_insert_double_value(w, stamp,
                                           family == Family::Stata ? seconds * 1000 : seconds),
              "stamp");
        Check(readstat_end_row(w), "row");
    }
    Check(readstat_end_writing(w), "end");
    readstat_writer_free(w);
    std::fclose(out);
}

// One variable whose second case holds a number beyond single precision.
void WriteLarge(const std::string& path) {
    std::FILE* out = nullptr;
    readstat_writer_t* w = NewWriter(path, out);
    readstat_variable_t* big = readstat_add_variable(w, "big", READSTAT_TYPE_DOUBLE, 0);
    Check(readstat_begin_writing_sav(w, out, 2), "begin");
    for (double x : {1.0, 1e300}) {
        Check(readstat_begin_row(w), "row");
        Check(readstat_insert_double_value(w, big, x), "big");
        Check(readstat_end_row(w), "row");
    }
    Check(readstat_end_writing(w), "end");
    readstat_writer_free(w);
    std::fclose(out);
}

}  // namespace

int main() {
    Write("readstat.sav", Family::Spss, false, readstat_begin_writing_sav);
    Write("readstat.zsav", Family::Spss, false, readstat_begin_writing_sav, true);
    Write("readstat.por", Family::Spss, true, readstat_begin_writing_por);
    Write("readstat.dta", Family::Stata, false, readstat_begin_writing_dta);
    Write("readstat.xpt", Family::Sas, false, readstat_begin_writing_xport);
    Write("readstat.sas7bdat", Family::Sas, false, readstat_begin_writing_sas7bdat);
    WriteLarge("readstat_large.sav");
    return 0;
}
