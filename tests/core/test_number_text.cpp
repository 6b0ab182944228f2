#include <gtest/gtest.h>

#include <clocale>

#include "common/NumberText.h"

using namespace corvane;

TEST(FormatSingle, GeneralNumberFormat) {
    const struct {
        float x;
        const char* text;
    } cases[] = {
        {0.1f, "0.1"},
        {5.5f, "5.5"},
        {-2.25f, "-2.25"},
        {22.91667f, "22.91667"},
        {9999999.0f, "9999999"},
        {12345678.0f, "1.234568E+07"},
        {1e-5f, "1E-05"},
        {0.0001f, "0.0001"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {3.0f, "3"},
        {1e20f, "1E+20"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSingle(c.x), c.text) << c.x;
}

TEST(FormatSingle, IgnoresTheCLocale) {
    // A locale with a decimal comma must not leak into the program's number text.
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
    EXPECT_EQ(FormatSingle(2.5f), "2.5");
    EXPECT_EQ(FormatDouble(123456.789), "123456.789");
    EXPECT_EQ(Round3(1.23456), 1.235);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(FormatDouble, FifteenDigits) {
    EXPECT_EQ(FormatDouble(123456.789), "123456.789");
    EXPECT_EQ(FormatDouble(2.0), "2");
    EXPECT_EQ(FormatDouble(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatDouble(1234567890.5), "1234567890.5");
}

TEST(Round3, RoundsTheBinaryValueToThreeDecimals) {
    EXPECT_EQ(Round3(22.916666), 22.917);
    EXPECT_EQ(Round3(-1.8165), -1.817);  // the binary value lies above the half
    EXPECT_EQ(Round3(0.0625), 0.062);    // an exact half goes to the even digit
    EXPECT_EQ(Round3(0.1875), 0.188);
    EXPECT_EQ(Round3(9999999.0), 9999999.0);
    EXPECT_EQ(FormatRounded3(22.91667f), "22.917");
    EXPECT_EQ(FormatRounded3(-0.0004f), "0");
    EXPECT_EQ(FormatRounded3(9999999.0f), "9999999");
}

TEST(FitNumberText, CutsDecimalsOnly) {
    EXPECT_EQ(FitNumberText("123456.789", 123456.789, 9), "123456.78");
    EXPECT_EQ(FitNumberText("2.5", 2.5, 9), "2.5");
    EXPECT_EQ(FitNumberText("0.333333333333333", 1.0 / 3, 9), "0.3333333");
    // Cutting these would show a different number: a shorter exponent form is written.
    EXPECT_EQ(FitNumberText("-1.234568E+07", -12345680.0, 9), "-1.23E+07");
    EXPECT_EQ(FitNumberText("1234567890.5", 1234567890.5, 9), "1.235E+09");
    EXPECT_EQ(FitNumberText("2147483647", 2147483647.0, 9), "2.147E+09");
    EXPECT_EQ(FitNumberText("1.234568E+07", 12345680.0, 9), "1.235E+07");
}
