#pragma once

#include <QHelpEvent>
#include <QListWidget>
#include <QObject>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "data/DataMatrix.h"
#include "data/modGeneral.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/MessageService.h"

namespace analysis_test {

inline constexpr float M = 9999999.0f;  // the missing-value code

// Makes a data set the current one the way a successful import leaves it: one row per case,
// the counts set to the rows and to the longest row; `facts` and `names` as a reader of text
// columns and names lines fills them in.
inline void loadData(const std::vector<std::vector<float>>& rows,
                     std::vector<corvane::VariableFacts> facts = {},
                     std::vector<std::string> names = {}) {
    namespace g = corvane::modGeneral;
    std::int32_t columns = 0;
    for (const auto& r : rows) columns = std::max(columns, static_cast<std::int32_t>(r.size()));
    corvane::DataMatrix m(static_cast<std::int32_t>(rows.size()), columns);
    std::int32_t row = 1;
    for (const auto& r : rows) {
        for (std::size_t c = 0; c < r.size(); ++c) m(row, static_cast<std::int32_t>(c) + 1) = r[c];
        ++row;
    }
    g::Replace(corvane::DataSet({std::move(m), static_cast<std::int32_t>(rows.size()), columns,
                                 std::move(names), std::move(facts)}));
}
inline void loadData(std::initializer_list<std::vector<float>> rows) {
    loadData(std::vector<std::vector<float>>(rows));
}

// A variable's facts: text with these labels (codes 1, 2, ...), or numbers labelled so.
inline corvane::VariableFacts textFacts(std::initializer_list<const char*> labels) {
    corvane::VariableFacts f{corvane::VariableKind::Text, {}, {}, 0};
    for (const char* l : labels) f.labels.push_back({static_cast<float>(f.labels.size() + 1), l});
    return f;
}
inline corvane::VariableFacts labelledFacts(std::vector<corvane::ValueLabel> labels) {
    return {corvane::VariableKind::LabelledNumbers, std::move(labels), {}, 0};
}
inline corvane::VariableFacts plainFacts() { return {}; }

inline void clearData() { corvane::modGeneral::Clear(); }

// Toggles the tick of a list item from the keyboard, as a user does: the item made current,
// then Space.
inline void toggleTick(QListWidget* list, int row) {
    list->setFocus();
    list->setCurrentRow(row);
    QTest::keyClick(list, Qt::Key_Space);
}

// The tooltip a list shows over item `row`; empty when it shows none.
inline QString toolTipOver(QListWidget* list, int row) {
    QToolTip::hideText();  // a tip goes only after a moment
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return QStringLiteral("(stays)");
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

inline std::vector<int> tickedRows(const QListWidget* list) {
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) rows.push_back(i);
    return rows;
}

// What the tests of the analysis windows start each case with: no data, no message shown, an
// empty output pane and window owner. The test class calls startCase() from init() and
// endCase() from cleanup().
class AnalysisWindowCase : public QObject {
  protected:
    std::unique_ptr<OutputPane> m_pane;
    std::unique_ptr<AnalysisWindows> m_windows;

    void startCase() {
        clearData();
        MessageService::clearShown();
        m_pane = std::make_unique<OutputPane>();
        m_windows = std::make_unique<AnalysisWindows>(nullptr, m_pane.get());
    }

    void endCase() {
        QCOMPARE(MessageService::unansweredCount(), 0);
        m_windows.reset();
        m_pane.reset();
    }

    // Shows a window and waits until it is on the screen.
    template <class W>
    static W* showExposed(W* w) {
        w->show();
        if (!QTest::qWaitForWindowExposed(w)) qFatal("window not exposed");
        return w;
    }

    // OK refuses: one "Analysis Error" box with `text`, the window stays, the normal pointer is
    // back and the pane keeps its text.
    void expectAnalysisError(QWidget* w, QPushButton* ok, const QString& text) {
        const QString before = m_pane->textCrlf();
        MessageService::clearShown();
        ok->click();
        // The effect-size window reports from the end of its run, a moment after the click.
        QTRY_COMPARE_WITH_TIMEOUT(MessageService::shown().size(), 1, 30000);
        QCOMPARE(MessageService::shown().at(0).title, QStringLiteral("Analysis Error"));
        QCOMPARE(MessageService::shown().at(0).text, text);
        QVERIFY(w->isVisible());
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(m_pane->textCrlf(), before);
    }
};

}  // namespace analysis_test
