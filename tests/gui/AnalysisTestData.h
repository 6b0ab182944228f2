#pragma once

#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "data/DataMatrix.h"
#include "data/modGeneral.h"

namespace analysis_test {

inline constexpr float M = 9999999.0f;  // the missing-value code

// Puts a data set into the program's globals the way a successful import leaves it: one row
// per case, the counts set to the rows and to the longest row.
inline void loadData(std::initializer_list<std::vector<float>> rows) {
    namespace g = corvane::modGeneral;
    std::int32_t columns = 0;
    for (const auto& r : rows) columns = std::max(columns, static_cast<std::int32_t>(r.size()));
    corvane::DataMatrix m(static_cast<std::int32_t>(rows.size()), columns);
    std::int32_t row = 1;
    for (const auto& r : rows) {
        for (std::size_t c = 0; c < r.size(); ++c) m(row, static_cast<std::int32_t>(c) + 1) = r[c];
        ++row;
    }
    g::g_sngData = std::move(m);
    g::g_lngNumberOfCases = static_cast<std::int32_t>(rows.size());
    g::g_lngNumberOfVariables = columns;
}

inline void clearData() {
    namespace g = corvane::modGeneral;
    g::g_sngData = corvane::DataMatrix();
    g::g_lngNumberOfCases = 0;
    g::g_lngNumberOfVariables = 0;
}

// Toggles the tick of a list item from the keyboard, as a user does: the item made current,
// then Space.
inline void toggleTick(QListWidget* list, int row) {
    list->setFocus();
    list->setCurrentRow(row);
    QTest::keyClick(list, Qt::Key_Space);
}

inline std::vector<int> tickedRows(const QListWidget* list) {
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) rows.push_back(i);
    return rows;
}

}  // namespace analysis_test
