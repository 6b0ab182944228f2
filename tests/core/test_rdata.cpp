// R's own data files, as R writes them (tests/data/rdata/make_rdata.R): every packing reads the
// same table, a workspace's data frames are chosen like a workbook's sheets, and what is not a
// data frame is named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataSetColumns.h"
#include "common/Single.h"
#include "data/formats/rdata/ReadRData.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr float M = kMissing;

std::string RFile(const std::string& name) {
    return std::string(CORVANE_TEST_DATA) + "/rdata/" + name;
}

// The reason an import of `name` failed with.
std::string Refusal(const std::string& name, const SheetChoice& sheet = {}) {
    auto r = ImportDataFile(RFile(name), kDetectFormat, {}, sheet);
    return r ? "imported" : r.error().reason;
}

}  // namespace

TEST(RData, EveryPackingReadsTheSameTable) {
    for (const char* packing : {"none", "gzip", "bzip2", "xz"}) {
        SCOPED_TRACE(packing);
        const std::string path = RFile(std::string("trial_") + packing + ".rds");
        auto r = ImportDataFile(path, kDetectFormat);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        const DataSet& d = r.value();
        // A bzip2 stream shows nothing in its first bytes: it is unpacked as any packed file is
        // and then known by what it holds.
        EXPECT_EQ(d.readAs(),
                  std::string(packing) == "bzip2" ? "bzip2-compressed R data file" : "R data file");
        ASSERT_EQ(d.cases(), 5);
        EXPECT_EQ(d.names(), (std::vector<std::string>{"group", "score", "count", "done", "site",
                                                       "visit", "stamp"}));
        EXPECT_EQ(Column(d, 1), (std::vector<float>{1, 1, 2, 2, 1}));
        EXPECT_EQ(Labels(d, 1), (std::vector<std::string>{"control", "treatment"}));
        EXPECT_EQ(Column(d, 2), (std::vector<float>{12.5f, 14, M, 11.25f, 9}));
        EXPECT_EQ(Column(d, 3), (std::vector<float>{3, M, 5, 7, 1}));
        EXPECT_EQ(Column(d, 4), (std::vector<float>{1, 0, M, 1, 1}));
        EXPECT_EQ(Column(d, 5), (std::vector<float>{1, 2, M, 1, 3}));
        EXPECT_EQ(Labels(d, 5), (std::vector<std::string>{"north", "south", "east"}));
        EXPECT_EQ(Column(d, 6), (std::vector<float>{1, 2, M, 3, 4}));
        EXPECT_EQ(Labels(d, 6), (std::vector<std::string>{"2024-03-01", "2024-03-02", "1999-12-31",
                                                          "2024-02-29"}));
        EXPECT_EQ(Labels(d, 7),
                  (std::vector<std::string>{"2024-03-01 08:30:00", "2024-03-02 01:00:00",
                                            "1999-12-31 00:00:00", "2024-02-29 12:34:56"}));
    }
}

// A workspace's data frames are its sheets: chosen by name or number, the first by default; a
// workspace of one data frame beside other objects reads it.
TEST(RData, WorkspaceDataFramesChosenLikeSheets) {
    auto listed = ListRDataFrames(RFile("two_frames.RData"));
    ASSERT_TRUE(listed.ok());
    ASSERT_EQ(listed.value().size(), 2u);
    EXPECT_EQ(listed.value()[1].name, "ratings");
    EXPECT_EQ(listed.value()[1].rows, 3);
    EXPECT_EQ(listed.value()[1].columns, 2);

    const auto readAs = [](const std::string& name, const SheetChoice& sheet) {
        auto r = ImportDataFile(RFile(name), kDetectFormat, {}, sheet);
        return r ? r.value().readAs() + ", " + std::to_string(r.value().cases()) + " cases"
                 : r.error().reason;
    };
    EXPECT_EQ(readAs("two_frames.RData", {}),
              "R workspace, data frame \"trial\" (1 of 2), 5 cases");
    EXPECT_EQ(readAs("two_frames.RData", {"ratings", 0}),
              "R workspace, data frame \"ratings\" (2 of 2), 2 cases");
    EXPECT_EQ(readAs("two_frames.RData", {"", 2}),
              "R workspace, data frame \"ratings\" (2 of 2), 2 cases");
    EXPECT_EQ(readAs("frame_and_more.rda", {}),
              "R workspace, data frame \"trial\" (1 of 1), 5 cases");
    EXPECT_EQ(ListRDataFrames(RFile("frame_and_more.rda")).value().size(), 1u);
    // A sequence passed over after the data frame is still read to its end.
    EXPECT_EQ(readAs("frame_then_sequence.RData", {}),
              "R workspace, data frame \"trial\" (1 of 1), 5 cases");
    EXPECT_TRUE(ListRDataFrames(RFile("trial_gzip.rds")).value().empty());
    EXPECT_EQ(readAs("trial_gzip.rds", {"ratings", 0}), "R data file, 5 cases");

    EXPECT_EQ(Refusal("two_frames.RData", {"placebo", 0}),
              "the R workspace has no data frame named \"placebo\"");
    EXPECT_EQ(Refusal("two_frames.RData", {"", 3}), "the R workspace has no data frame 3, only 2");
    EXPECT_EQ(Refusal("frame_and_more.rda", {"model", 0}),
              "\"model\" in the R workspace is an object of class \"lm\", not a data frame");
}

TEST(RData, WhatIsNotADataFrameIsNamed) {
    EXPECT_EQ(Refusal("vector.rds"),
              "the R data file holds a numeric vector, not a data frame; save a data frame with "
              "saveRDS(data.frame(...), file = ...)");
    EXPECT_EQ(Refusal("matrix.rds"),
              "the R data file holds an integer matrix, not a data frame; save a data frame with "
              "saveRDS(data.frame(...), file = ...)");
    EXPECT_EQ(Refusal("no_frame.RData"),
              "the R workspace holds no data frame, only scores (a numeric vector); save a data "
              "frame with save(name, file = ...)");
}
