// SPDX-License-Identifier: GPL-3.0-or-later
// Limit tables and traces read back: what is taken, and one line for what is not.
#include <gtest/gtest.h>

#include "files/trace_tables.h"

namespace veka {
namespace {

TEST(TraceTables, LimitTables) {
    const struct {
        const char* bytes;
        const char* error;  // a part of it; "" when the table is taken
        size_t rows;
    } cases[] = {
        {"\xEF\xBB\xBF" "frequency_hz,upper,lower\r\n10000000,0,-3\r\n10100000,,-6.5\r\n\r\n", "", 2},
        {"frequency_hz,upper,lower\n1,1e-1,\n", "", 1},
        {"frequency,upper,lower\n1,0,0\n", "first row", 0},
        {"frequency_hz,upper,lower\n", "no rows", 0},
        {"frequency_hz,upper,lower\n1.5,0,0\n", "row 2", 0},
        {"frequency_hz,upper,lower\n1,zero,0\n", "number or empty", 0},
        {"frequency_hz,upper,lower\n2,0,0\n1,0,0\n", "rise", 0},
        {"frequency_hz,upper,lower\n1,0\n", "three fields", 0},
    };
    for (const auto& c : cases) {
        const auto r = readLimitTable(c.bytes);
        if (*c.error == '\0') {
            ASSERT_TRUE(std::holds_alternative<std::vector<LimitRow>>(r)) << c.bytes;
            EXPECT_EQ(std::get<0>(r).size(), c.rows);
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(r)) << c.bytes;
            EXPECT_NE(std::get<1>(r).find(c.error), std::string::npos) << std::get<1>(r);
        }
    }
    const auto taken = std::get<0>(readLimitTable("frequency_hz,upper,lower\n5,,-6.5\n"));
    EXPECT_FALSE(taken[0].upper);
    EXPECT_EQ(taken[0].lower, -6.5);
}

TEST(TraceTables, TracesAsTheExportWritesThem) {
    const auto t = std::get<TraceTable>(readTraceTable(
        "frequency_hz,level_linear,display_value,raw_reading\r\n100,0.8750,350,\r\n"
        "150,1.0000,400,\r\n200,0.1,40,\r\n"));
    EXPECT_TRUE(t.linear);
    EXPECT_EQ(t.startHz, 100);
    EXPECT_EQ(t.stepHz, 50);
    EXPECT_EQ(t.levels, (std::vector<double>{0.875, 1.0, 0.1}));
    for (const char* bad : {"frequency_hz,display_value\n1,2\n", "frequency_hz,level_db\n",
                            "frequency_hz,level_db\n1,0\n2,0\n4,0\n", "frequency_hz,level_db\n1\n"})
        EXPECT_TRUE(std::holds_alternative<std::string>(readTraceTable(bad))) << bad;
}

}  // namespace
}  // namespace veka
