#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "AnalysisTestData.h"
#include "KeyWalk.h"
#include "NextModal.h"
#include "common/Messages.h"
#include "gui/analysis/frmDescriptives.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/MessageService.h"

using namespace analysis_test;
namespace g = corvane::modGeneral;

namespace {

const QString kRule = QString(60, QLatin1Char('-')) + QStringLiteral("\r\n");
const QString kHeader =
    QStringLiteral("Name            Mean        SD       Min       Max         N\r\n");

QString reportOf(const QStringList& rows) {
    QString r = QStringLiteral("DESCRIPTIVES\r\n") + kRule + kHeader + kRule;
    for (const QString& row : rows) r += row + QStringLiteral("\r\n");
    return r + QString(60, QLatin1Char('-')) + QStringLiteral("\r\n\r\n\r\n\r\n");
}

// Ten variables, so the ticking modes have room.
void loadTenVariables() { loadData({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}); }

}  // namespace

class TestDescriptivesWindow : public AnalysisWindowCase {
    Q_OBJECT

  private:
    frmDescriptives* open() { return showExposed(m_windows->descriptivesInstance()); }
    // Item numbers as the user counts them, from 1.
    static void tickItem(frmDescriptives* w, int item) { toggleTick(w->lstItems, item - 1); }
    static std::vector<int> tickedItems(frmDescriptives* w) {
        std::vector<int> items = tickedRows(w->lstItems);
        for (int& i : items) ++i;
        return items;
    }
    void expectNothingTicked(frmDescriptives* w) {
        expectAnalysisError(w, w->cmdOK, QStringLiteral("At least one item must be selected."));
    }

  private slots:
    void initTestCase() { MessageService::startScripting(); }

    void init() { startCase(); }
    void cleanup() { endCase(); }

    void tabOrderKeysAndWindowButtons() {
        loadTenVariables();
        frmDescriptives* w = open();
        QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(QTest::qWaitForWindowActive(w));
        // The option group is one stop, at its chosen button; the arrow keys move inside it.
        QCOMPARE(tabWalk(w->lstItems, 4),
                 QStringList({"optRanges", "cmdOK", "cmdCancel", "lstItems"}));
        QCOMPARE(tabWalk(w->lstItems, 4, true),
                 QStringList({"cmdCancel", "cmdOK", "optRanges", "lstItems"}));
        w->optRanges->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w->optRanges, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w->optIndividual);
        QCOMPARE(spaceOnlyPresses(w, w->cmdCancel), QString());
        QVERIFY(w->isHidden());  // Space pressed Cancel
    }

    void rangeModeFillsTowardsTheTop() {
        loadTenVariables();
        frmDescriptives* w = open();
        QCOMPARE(w->lstItems->count(), 10);
        QCOMPARE(w->lstItems->item(9)->text(), QStringLiteral("Var 10"));
        QVERIFY(w->optRanges->isChecked());
        tickItem(w, 3);
        QCOMPARE(tickedItems(w), (std::vector<int>{3}));
        tickItem(w, 7);
        QCOMPARE(tickedItems(w), (std::vector<int>{3, 4, 5, 6, 7}));
        tickItem(w, 1);  // above every tick: no fill downwards
        QCOMPARE(tickedItems(w), (std::vector<int>{1, 3, 4, 5, 6, 7}));
        tickItem(w, 5);  // unticking changes nothing else
        QCOMPARE(tickedItems(w), (std::vector<int>{1, 3, 4, 6, 7}));
        tickItem(w, 10);  // fills up to the nearest tick, 7
        QCOMPARE(tickedItems(w), (std::vector<int>{1, 3, 4, 6, 7, 8, 9, 10}));
        tickItem(w, 5);  // the gap closes again from below
        QCOMPARE(tickedItems(w), (std::vector<int>{1, 3, 4, 5, 6, 7, 8, 9, 10}));
        tickItem(w, 2);
        QCOMPARE(tickedItems(w), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    }

    void individualModeTicksOneItem() {
        loadTenVariables();
        frmDescriptives* w = open();
        tickItem(w, 2);
        QTest::mouseClick(w->optIndividual, Qt::LeftButton);
        QVERIFY(w->optIndividual->isChecked() && !w->optRanges->isChecked());
        QCOMPARE(tickedItems(w), (std::vector<int>{2}));  // switching modes ticks nothing
        tickItem(w, 6);
        tickItem(w, 9);
        QCOMPARE(tickedItems(w), (std::vector<int>{2, 6, 9}));
        QTest::mouseClick(w->optRanges, Qt::LeftButton);
        QCOMPARE(tickedItems(w), (std::vector<int>{2, 6, 9}));
        tickItem(w, 4);  // back in range mode ticks fill the range again
        QCOMPARE(tickedItems(w), (std::vector<int>{2, 3, 4, 6, 9}));
    }

    void reportAppendedAndWindowKept() {
        loadData({{1, 2.5f, M}, {2, M, M}, {3, M, M}, {M, M, M}});
        m_pane->setTextCrlf(QStringLiteral("start"));
        frmDescriptives* w = open();
        tickItem(w, 1);
        tickItem(w, 3);
        QCOMPARE(tickedItems(w), (std::vector<int>{1, 2, 3}));
        w->cmdOK->click();
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(!w->isVisible());
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
        const QString report = reportOf({
            QStringLiteral("Var 1              2         1         1         3         3"),
            QStringLiteral("Var 2            2.5         .       2.5       2.5         1"),
            QStringLiteral("Var 3              .         .         .         .         0"),
        });
        QCOMPARE(m_pane->textCrlf(), QStringLiteral("start") + report);

        // Reopened: the same ticks and mode; a second report follows the first.
        QCOMPARE(m_windows->descriptivesInstance(), w);
        QCOMPARE(tickedItems(w), (std::vector<int>{1, 2, 3}));
        QVERIFY(w->optRanges->isChecked());
        w->show();
        tickItem(w, 2);
        tickItem(w, 3);
        w->cmdOK->click();
        const QString second = reportOf(
            {QStringLiteral("Var 1              2         1         1         3         3")});
        QCOMPARE(m_pane->textCrlf(), QStringLiteral("start") + report + second);
    }

    void nothingTicked() {
        frmDescriptives* empty = open();  // no data: an empty list
        QCOMPARE(empty->lstItems->count(), 0);
        expectNothingTicked(empty);

        loadData({{1, 2}});
        m_windows->discardAnalysisWindows();
        frmDescriptives* w = open();
        expectNothingTicked(w);
        // The scan follows the number of variables: after an import that ended before reading
        // a file the count is 0 though the list still shows ticks.
        tickItem(w, 1);
        w->hide();
        g::ReadAsEmpty();
        w->setDataSet(g::Current());  // as the next showing does
        w->show();
        expectNothingTicked(w);
        QCOMPARE(tickedItems(w), (std::vector<int>{1}));
    }

    // The double sums hold squares of any single value: no data makes the analysis fail.
    void valuesNearTheSingleRangeGiveTheirRow() {
        loadData({{1, 1}, {2, 3e20f}});
        frmDescriptives* w = open();
        tickItem(w, 1);
        tickItem(w, 2);
        MessageService::clearShown();
        w->cmdOK->click();
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(m_pane->textCrlf().contains(QStringLiteral("Var 2        1.5E+20 2.121E+20")));
        QVERIFY(!w->isVisible());
    }

    // Equal values give SD 0.
    void equalValuesGiveSdZero() {
        loadData({{0.1f}, {0.1f}, {0.1f}});
        frmDescriptives* w = open();
        tickItem(w, 1);
        w->cmdOK->click();
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(m_pane->textCrlf(),
                 reportOf({QStringLiteral(
                     "Var 1            0.1         0       0.1       0.1         3")}));
    }

    // Text variables are marked in the list, named or not; the effect-size lists are made alike.
    void textVariablesMarked() {
        loadData({{1, 2, 1, 4}}, {textFacts({"a"}), plainFacts(), textFacts({"b"})},
                 {"group", "score_after_the_second_visit"});
        frmDescriptives* w = open();
        QStringList items;
        for (int i = 0; i < w->lstItems->count(); ++i) items << w->lstItems->item(i)->text();
        QCOMPARE(items, QStringList({"Var 1  group (text)", "Var 2  score_after_the_second_visit",
                                     "Var 3 (text)", "Var 4"}));
        // The items share one size, the list's width: the longest name is cut, whole in its
        // tooltip, and shows whole once the window is made larger.
        QCOMPARE(toolTipOver(w->lstItems, 1), items[1]);
        w->resize(w->width() * 2, w->height() * 3 / 2);
        QCOMPARE(toolTipOver(w->lstItems, 1), QString());
        QVERIFY(w->rect().contains(w->cmdCancel->geometry()));
    }

    void cancelHidesAndTheCloseBoxReleases() {
        loadTenVariables();
        frmDescriptives* w = open();
        tickItem(w, 4);
        w->optIndividual->setChecked(true);
        w->cmdCancel->click();
        QVERIFY(!w->isVisible());
        QVERIFY(m_pane->textCrlf().isEmpty());
        QCOMPARE(m_windows->descriptivesInstance(), w);
        QCOMPARE(tickedItems(w), (std::vector<int>{4}));
        QVERIFY(w->optIndividual->isChecked());

        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(w->isVisible());

        QPointer<frmDescriptives> closed = w;
        QVERIFY(w->close());
        frmDescriptives* fresh = m_windows->descriptivesInstance();
        QVERIFY(closed.isNull());
        QVERIFY(tickedItems(fresh).empty());
        QVERIFY(fresh->optRanges->isChecked());

        WhenModalUp([](QWidget& shown) { shown.close(); });
        m_windows->showDescriptives();
        QVERIFY(m_windows->descriptives() == nullptr);
    }

    void anImportDiscardsTheWindow() {
        loadData({{1, 2, 3}});
        frmDescriptives* w = open();
        tickItem(w, 2);
        w->cmdCancel->click();
        QPointer<frmDescriptives> old = w;
        loadData({{1}});
        m_windows->discardAnalysisWindows();
        QVERIFY(old.isNull());
        QCOMPARE(m_windows->descriptivesInstance()->lstItems->count(), 1);
        QVERIFY(tickedItems(m_windows->descriptivesInstance()).empty());
    }
};

QTEST_MAIN(TestDescriptivesWindow)
#include "test_descriptives_window.moc"
