#include "support/expected_rows.h"

#include <algorithm>

#include "support/registry_state.h"

::testing::AssertionResult KeyHoldsExactly(HKEY root, const std::string& key,
                                           const std::vector<ExpectedRow>& rows)
{
    std::vector<std::string> found = ValueNames(root, key);
    std::vector<std::string> expected;
    for (const ExpectedRow& row : rows)
        expected.push_back(row.name);
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    if (found != expected) {
        auto failure = ::testing::AssertionFailure() << key << " holds [";
        for (const std::string& name : found)
            failure << " \"" << name << "\"";
        failure << " ], expected [";
        for (const std::string& name : expected)
            failure << " \"" << name << "\"";
        return failure << " ]";
    }
    for (const ExpectedRow& row : rows) {
        ::testing::AssertionResult value = IsRegSz(root, key, row.name, row.data);
        if (!value)
            return value;
    }
    return ::testing::AssertionSuccess();
}

bool operator==(const ExpectedRow& a, const ExpectedRow& b)
{
    return a.name == b.name && a.data == b.data;
}

void PrintTo(const ExpectedRow& row, std::ostream* out)
{
    *out << "\"" << row.name << "\" = \"" << Printable(row.data) << "\"";
}
