#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "data/FieldClassifier.h"

using namespace corvane;

namespace {

struct Case {
    const char* text;
    FieldKind kind;
    double value;
};

const char* Name(FieldKind k) {
    return k == FieldKind::Number ? "number" : k == FieldKind::Missing ? "missing" : "invalid";
}

}  // namespace

TEST(ClassifyField, EveryNumberAndMissingForm) {
    const Case cases[] = {
        {"12", FieldKind::Number, 12},     {"-3.5", FieldKind::Number, -3.5},
        {"+4", FieldKind::Number, 4},      {".5", FieldKind::Number, 0.5},
        {"5.", FieldKind::Number, 5},      {"1e3", FieldKind::Number, 1000},
        {"1E-2", FieldKind::Number, 0.01}, {"2.5e+1", FieldKind::Number, 25},
        {"  7  ", FieldKind::Number, 7},   {"&H1F", FieldKind::Number, 31},
        {"&hff", FieldKind::Number, 255},  {"&O17", FieldKind::Number, 15},
        {"&o7", FieldKind::Number, 7},     {"9999999", FieldKind::Number, 9999999},
        {"0", FieldKind::Number, 0},       {"-0", FieldKind::Number, 0},
        {".", FieldKind::Missing, 0},      {"", FieldKind::Missing, 0},
        {" ", FieldKind::Missing, 0},      {"NA", FieldKind::Missing, 0},
        {"NaN", FieldKind::Missing, 0},    {"nan", FieldKind::Missing, 0},
    };
    for (const Case& c : cases) {
        const FieldClass f = ClassifyField(c.text);
        EXPECT_EQ(Name(f.kind), std::string(Name(c.kind))) << '"' << c.text << '"';
        if (c.kind == FieldKind::Number) {
            EXPECT_EQ(f.value, c.value) << c.text;
        }
    }
}

TEST(ClassifyField, InvalidEntries) {
    // Letters, separators, signs out of place, and forms the C library would read anyway.
    const char* invalid[] = {"abc", "1,5", "1,000", "$5",   "(5)",      "5-",   "1.2.3",   "1 2",
                             "  ",  "inf", "NAN",   "-inf", "Infinity", "0x1A", "0x10",    "1d5",
                             "1e",  "1e+", "e5",    "+",    "-",        "&H",   "&O8",     "&Hxyz",
                             "\t5", "5\t", "&H-1",  "-&H1", ". ",       "..",   "1.5e3.2", "٣"};
    for (const char* t : invalid) {
        EXPECT_EQ(Name(ClassifyField(t).kind), std::string("invalid")) << '"' << t << '"';
    }
}

TEST(ClassifyField, WithADecimalComma) {
    // The comma stands for the point; a point, even a thousands point, makes the field no number.
    const Case cases[] = {
        {"72,9", FieldKind::Number, 72.9},  {"-0,5", FieldKind::Number, -0.5},
        {"1,5e2", FieldKind::Number, 150},  {"12", FieldKind::Number, 12},
        {",", FieldKind::Missing, 0},       {"NA", FieldKind::Missing, 0},
        {".", FieldKind::Missing, 0},       {"1.5", FieldKind::Invalid, 0},
        {"1.234,5", FieldKind::Invalid, 0}, {"1,2,3", FieldKind::Invalid, 0},
    };
    for (const Case& c : cases) {
        const FieldClass f = ClassifyDecimalCommaField(c.text);
        EXPECT_EQ(Name(f.kind), std::string(Name(c.kind))) << '"' << c.text << '"';
        if (c.kind == FieldKind::Number) {
            EXPECT_EQ(f.value, c.value) << c.text;
        }
    }
}

TEST(ClassifyField, ExtremeMagnitudes) {
    // Beyond double: the value becomes infinite (the import then calls it too large).
    EXPECT_TRUE(std::isinf(ClassifyField("1e400").value));
    EXPECT_TRUE(std::isinf(ClassifyField("-1e99999999999999999999").value));
    EXPECT_LT(ClassifyField("-1e99999999999999999999").value, 0);
    EXPECT_EQ(ClassifyField("1e-400").value, 0.0);
    EXPECT_EQ(ClassifyField("0." + std::string(10000, '0') + "1").kind, FieldKind::Number);
    EXPECT_EQ(ClassifyField("0." + std::string(10000, '0') + "1").value, 0.0);
    const std::string longNumber = "1" + std::string(9999, '0');
    EXPECT_TRUE(std::isinf(ClassifyField(longNumber).value));
    EXPECT_EQ(ClassifyField("12345678901234567890123").value, 1.2345678901234568e22);
    EXPECT_EQ(ClassifyField("&HFFFFFFFFFFFFFFFFFFFF").value, 1208925819614629174706175.0);
    EXPECT_EQ(ClassifyField("1e39").kind, FieldKind::Number);  // too large only for single
}

TEST(Readings, WholeAndLeading) {
    EXPECT_EQ(ReadWhole(" 3 "), 3.0);
    EXPECT_FALSE(ReadWhole("3 4"));
    EXPECT_FALSE(ReadWhole("\t3"));
    EXPECT_EQ(ReadLeading("\t 12abc"), 12.0);
    EXPECT_EQ(ReadLeading("1.5e"), 1.5);
    EXPECT_EQ(ReadLeading("abc"), 0.0);
    EXPECT_EQ(ReadLeading("&H10G"), 16.0);
}

TEST(ParseGroupCode, HasNoMissingForm) {
    EXPECT_EQ(ParseGroupCode(" 1 "), 1.0);
    EXPECT_EQ(ParseGroupCode("1.5"), 1.5);
    EXPECT_FALSE(ParseGroupCode(""));
    EXPECT_FALSE(ParseGroupCode("."));
    EXPECT_FALSE(ParseGroupCode(" "));
    EXPECT_FALSE(ParseGroupCode("1a"));
}
