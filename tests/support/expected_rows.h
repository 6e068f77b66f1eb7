// Comparing a registry key with a table of expected REG_SZ rows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

struct ExpectedRow {
    std::string name;
    std::string data;  // stored as REG_SZ with its terminating zero
};

bool operator==(const ExpectedRow& a, const ExpectedRow& b);
void PrintTo(const ExpectedRow& row, std::ostream* out);

// The key holds exactly these values (any order), each REG_SZ with exactly
// the data's bytes and one terminating zero. An empty table also accepts a
// key that does not exist.
::testing::AssertionResult KeyHoldsExactly(HKEY root, const std::string& key,
                                           const std::vector<ExpectedRow>& rows);
