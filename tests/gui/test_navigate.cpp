#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "AnalysisTestData.h"
#include "KeyWalk.h"
#include "NextModal.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/data/frmNavigate.h"
#include "gui/output/OutputPane.h"

using namespace analysis_test;
namespace g = corvane::modGeneral;

namespace {

// The five labels of the window, read at one moment.
struct Shown {
    QString rows, columns, row, column, cell;
    bool operator==(const Shown&) const = default;
};

Shown shownBy(const frmNavigate& w) {
    return {w.lblNumberOfRows->text(), w.lblNumberOfColumns->text(), w.lblRow->text(),
            w.lblColumn->text(), w.lblCell->text()};
}

}  // namespace

class TestNavigate : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<frmNavigate> m_window;

    frmNavigate& build() {
        m_window = std::make_unique<frmNavigate>(g::Current());
        if (!m_window->Form_Load()) qFatal("navigator refused to open");
        return *m_window;
    }

  private slots:
    void init() { clearData(); }
    void cleanup() { m_window.reset(); }

    void tabOrderKeysAndWindowButtons() {
        loadData({{1, 2}, {3, 4}});
        frmNavigate& w = build();
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // The labels take no focus; the four buttons follow their tab indexes, round again.
        QCOMPARE(tabWalk(w.cmdUp, 4), QStringList({"cmdDown", "cmdRight", "cmdLeft", "cmdUp"}));
        QCOMPARE(tabWalk(w.cmdUp, 4, true),
                 QStringList({"cmdLeft", "cmdRight", "cmdDown", "cmdUp"}));
        QCOMPARE(w.lblCell->textFormat(), Qt::PlainText);

        // Space presses the focused button and Enter none; an arrow key presses the button of
        // its direction wherever the focus is; Escape closes the window.
        w.cmdDown->setFocus();
        QTest::keyClick(w.cmdDown, Qt::Key_Return);
        QCOMPARE(w.lblCell->text(), QString("1"));
        QTest::keyClick(w.cmdDown, Qt::Key_Space);
        QCOMPARE(w.lblCell->text(), QString("3"));
        QTest::keyClick(w.cmdDown, Qt::Key_Right);
        QCOMPARE(w.lblCell->text(), QString("4"));
        QTest::keyClick(w.cmdDown, Qt::Key_Up);
        QTest::keyClick(w.cmdDown, Qt::Key_Left);
        QCOMPARE(w.lblCell->text(), QString("1"));
        QCOMPARE(QApplication::focusWidget(), w.cmdDown);
        QTest::keyClick(w.cmdDown, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    // The row and column captions show whole, the longest name and the last row included.
    void captionsShowWhole() {
        loadData({{1, 2}}, {}, {"g", "a rather long name of a variable in the data"});
        frmNavigate& w = build();
        w.cmdRight->click();
        QVERIFY(w.lblColumn->text().endsWith("data"));
        QVERIFY(w.lblColumn->sizeHint().width() <= w.lblColumn->width());
        QVERIFY(w.lblColumn->geometry().right() < w.width());
        QCOMPARE(w.lblRow->width(), w.lblColumn->width());
    }

    void opensAtTheFirstCell() {
        loadData({{2.5f, 0.1f}, {M, 0}, {-7, 1234567}});
        frmNavigate& w = build();
        QCOMPARE(shownBy(w), (Shown{"Number of rows: 3", "Number of columns: 2", "Row: 1",
                                    "Column: 1", "2.5"}));
        QCOMPARE(w.windowTitle(), QStringLiteral("Navigate Data File"));
    }

    void movesAndStopsAtTheEdges() {
        loadData({{2.5f, 0.1f}, {M, 0}, {-7, 1234567}});
        frmNavigate& w = build();
        w.cmdUp->click();  // at the top edge: the same labels again
        w.cmdLeft->click();
        QCOMPARE(w.m_lngCurrentRow, 1);
        QCOMPARE(w.m_lngCurrentColumn, 1);
        QCOMPARE(w.lblRow->text(), QStringLiteral("Row: 1"));
        QCOMPARE(w.lblCell->text(), QStringLiteral("2.5"));

        w.cmdRight->click();
        QCOMPARE(w.lblColumn->text(), QStringLiteral("Column: 2"));
        QCOMPARE(w.lblCell->text(), QStringLiteral("0.1"));  // the single-precision text
        w.cmdRight->click();
        QCOMPARE(w.m_lngCurrentColumn, 2);
        w.cmdDown->click();
        QCOMPARE(w.lblRow->text(), QStringLiteral("Row: 2"));
        QCOMPARE(w.lblCell->text(), QStringLiteral("0"));
        w.cmdLeft->click();
        QCOMPARE(w.lblCell->text(), QStringLiteral("."));  // a missing cell
        w.cmdDown->click();
        w.cmdDown->click();
        QCOMPARE(w.m_lngCurrentRow, 3);
        QCOMPARE(w.lblCell->text(), QStringLiteral("-7"));
        w.cmdRight->click();
        QCOMPARE(shownBy(w), (Shown{"Number of rows: 3", "Number of columns: 2", "Row: 3",
                                    "Column: 2", "1234567"}));
        w.cmdUp->click();
        QCOMPARE(w.lblRow->text(), QStringLiteral("Row: 2"));
    }

    void oneByOneDataSet() {
        loadData({{42}});
        frmNavigate& w = build();
        const Shown first = shownBy(w);
        for (QPushButton* b : {w.cmdUp, w.cmdDown, w.cmdLeft, w.cmdRight}) {
            b->click();
            QCOMPARE(shownBy(w), first);
        }
        QCOMPARE(first.cell, QStringLiteral("42"));
    }

    // An import that ended before reading a file leaves both counts 0 but the old matrix.
    void countsZeroWithTheMatrixKept() {
        loadData({{3, 4}, {5, 6}});
        g::ReadAsEmpty();
        frmNavigate& w = build();
        QCOMPARE(shownBy(w),
                 (Shown{"Number of rows: 0", "Number of columns: 0", "Row: 1", "Column: 1", "3"}));
        for (QPushButton* b : {w.cmdDown, w.cmdRight, w.cmdUp, w.cmdLeft}) b->click();
        QCOMPARE(w.m_lngCurrentRow, 1);
        QCOMPARE(w.m_lngCurrentColumn, 1);
    }

    // A text cell reads as its label, a labelled number with its label; others as numbers.
    void labelsShownBesideOrInsteadOfCodes() {
        loadData({{2, 1, 1}, {1, 3, 2.5f}, {M, M, M}},
                 {textFacts({"control", "treatment"}), labelledFacts({{1, "placebo"}})});
        frmNavigate& w = build();
        QStringList cells;
        for (QPushButton* move :
             {w.cmdRight, w.cmdRight, w.cmdDown, w.cmdLeft, w.cmdLeft, w.cmdDown, w.cmdRight}) {
            cells << w.lblCell->text();
            move->click();
        }
        QCOMPARE(cells, QStringList({"treatment", "1 (placebo)", "1", "2.5", "3", "control", "."}));
        QCOMPARE(w.lblCell->text(), QStringLiteral("."));
    }

    // Through the menu's showing: no cell (1, 1) opens nothing and says nothing; every opening
    // starts again at the first cell.
    void builtAfreshAtEveryOpening() {
        OutputPane pane;
        AnalysisWindows windows(nullptr, &pane);

        bool shown = false;
        WhenModalUp([&](QWidget&) { shown = true; });
        windows.showNavigate();  // nothing imported yet
        QVERIFY(!shown);
        loadData({});  // a file without lines
        windows.showNavigate();
        QVERIFY(!shown);
        DropModalSteps();
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        loadData({{1, 2}, {3, 4}});
        QString cellAtOpening;
        WhenModalUp([&](QWidget& window) {
            auto& w = static_cast<frmNavigate&>(window);
            w.cmdDown->click();
            w.cmdRight->click();
            cellAtOpening = w.lblCell->text();
            w.close();
        });
        windows.showNavigate();
        QCOMPARE(cellAtOpening, QStringLiteral("4"));
        WhenModalUp([&](QWidget& window) {
            auto& w = static_cast<frmNavigate&>(window);
            cellAtOpening = w.lblRow->text() + w.lblColumn->text() + w.lblCell->text();
            w.close();
        });
        windows.showNavigate();
        QCOMPARE(cellAtOpening, QStringLiteral("Row: 1Column: 11"));
    }
};

QTEST_MAIN(TestNavigate)
#include "test_navigate.moc"
