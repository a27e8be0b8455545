#pragma once

// `_data` tables made from an array of named cases. Header-only.

#include <QTest>

#include <cstddef>

namespace rm::test {

// One int column "row" and a row per case, named by the case's `name`; the test function reads its
// case back from the array by that index.
template <typename Case, std::size_t N> void CaseRows(const Case (&cases)[N]) {
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(N); ++row)
        QTest::newRow(cases[row].name) << row;
}

} // namespace rm::test
