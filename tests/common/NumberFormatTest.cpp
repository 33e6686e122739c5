#include "common/FormatNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Fixed(double v, int decimals) {
    char text[32];
    FormatFixed(v, decimals, text, sizeof text);
    return text;
}

// Builds a German locale (decimal comma) into a private folder, as a host in Germany has.
bool UseDecimalCommaLocale() {
    const std::string folder = testing::TempDir() + "kvx-locales";
    const std::string command = "mkdir -p '" + folder + "' && localedef -i de_DE -f UTF-8 '" +
                                folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        return false;
    }
    setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

} // namespace

TEST(NumberFormat, MatchesPrintfRounding) {
    EXPECT_EQ(Fixed(0.5, 3), "0.500");
    EXPECT_EQ(Fixed(1.0, 3), "1.000");
    EXPECT_EQ(Fixed(-2.25, 1), "-2.2") << "ties round to even like printf";
    EXPECT_EQ(Fixed(0.0005, 3), "0.001");
    EXPECT_EQ(Fixed(123.456, 0), "123");
    char integer[12];
    FormatInteger(-2147483647 - 1, integer);
    EXPECT_STREQ(integer, "-2147483648");
}

TEST(NumberFormat, HugeValuesStillFitTheField) {
    char text[32];
    FormatFixed(1e300, 3, text, sizeof text);
    EXPECT_LT(std::string(text).size(), sizeof text);
    EXPECT_NE(std::string(text).find("e+300"), std::string::npos);
}

TEST(NumberFormat, IgnoresADecimalCommaLocale) {
    ASSERT_TRUE(UseDecimalCommaLocale()) << "localedef could not build de_DE";
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.3f", 0.5);
    EXPECT_STREQ(printed, "0,500") << "the locale is really in force";
    EXPECT_EQ(Fixed(0.5, 3), "0.500");
    std::setlocale(LC_ALL, "C");
}
