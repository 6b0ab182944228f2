#include <QAction>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "AnalysisTestData.h"
#include "gui/app/frmMain.h"
#include "gui/data/DataTableModel.h"
#include "gui/data/frmDataTable.h"
#include "gui/platform/Clipboard.h"

using namespace analysis_test;
namespace g = corvane::modGeneral;

class TestDataTable : public QObject {
    Q_OBJECT
  private slots:
    void init() { clearData(); }

    // Names head the columns ("Var 3" when there is none), the rows are numbered as the cases,
    // labels show for text and labelled cells, "." for a missing one.
    void cellsReadAsTheNavigatorShowsThem() {
        loadData(
            {{2, 1, 0.1f}, {1, M, 1}},
            {textFacts({"control", "treatment"}), labelledFacts({{1, "placebo"}}), plainFacts()},
            {"group", "dose"});
        const DataTableModel model(g::Current());
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 3);
        QStringList heads, cells;
        for (int c = 0; c < 3; ++c) heads << model.headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) cells << model.index(r, c).data().toString();
        QCOMPARE(heads, (QStringList{"group", "dose", "Var 3"}));
        QCOMPARE(cells, (QStringList{"treatment", "1 (placebo)", "0.1", "control", ".", "1"}));
        QCOMPARE(model.headerData(1, Qt::Vertical).toInt(), 2);
    }

    // Ctrl+C copies the rows and columns the selection touches under their names.
    void selectionCopiesAsTabSeparatedText() {
        loadData({{1, 2, 3}, {4, M, 6}, {7, 8, 9}}, {}, {"a", "b", "c"});
        frmDataTable window(g::Current());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTableView* grid = window.grdData;
        auto* selection = grid->selectionModel();
        const auto* model = window.model();
        selection->select(QItemSelection(model->index(0, 1), model->index(1, 2)),
                          QItemSelectionModel::Select);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(Clipboard::text(), QStringLiteral("b\tc\r\n2\t3\r\n.\t6\r\n"));

        // Cells apart: each row and column once, the cells between left empty.
        selection->clearSelection();
        selection->select(model->index(0, 0), QItemSelectionModel::Select);
        selection->select(model->index(2, 2), QItemSelectionModel::Select);
        window.copySelection();
        QCOMPARE(Clipboard::text(), QStringLiteral("a\tc\r\n1\t\r\n\t9\r\n"));
    }

    // Opened from the Data menu, the table shows each data set imported while it is open; the
    // data set it shows stays whole until then.
    void followsTheCurrentDataSet() {
        MessageService::startScripting();
        QTemporaryDir dir;
        frmMain main;
        main.findChild<QAction*>(QStringLiteral("mnuDataTable"))->trigger();
        frmDataTable* table = main.analysisWindows()->dataTable();
        QVERIFY(table != nullptr && table->isVisible());
        QCOMPARE(table->model()->rowCount(), 0);

        loadData({{5}});  // not yet followed: the table keeps the set it has
        QCOMPARE(table->model()->rowCount(), 0);
        QFile file(dir.filePath(QStringLiteral("two.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1 2\r\n3 4\r\n");
        file.close();
        main.importFile(file.fileName());
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->cellText(1, 1), QStringLiteral("4"));
        main.m_lngUnloadProgram = 1;
        QVERIFY(main.close());
        QCOMPARE(MessageService::unansweredCount(), 0);
    }

    // A million cases of ten variables: the grid reaches the last case.
    void aMillionCasesScrollToTheEnd() {
        constexpr std::int32_t cases = 1000000;
        corvane::DataMatrix m(cases, 10, 1.5f);
        m(cases, 10) = 42.0f;
        g::Replace(corvane::DataSet({std::move(m), cases, 10, {}, {}}));
        frmDataTable window(g::Current());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.grdData->scrollToBottom();
        QCoreApplication::processEvents();
        const QHeaderView* rows = window.grdData->verticalHeader();
        QCOMPARE(rows->visualIndexAt(rows->viewport()->height() - 2), cases - 1);
        QCOMPARE(window.model()->headerData(cases - 1, Qt::Vertical).toInt(), cases);
        QCOMPARE(window.model()->cellText(cases - 1, 9), QStringLiteral("42"));
    }
};

QTEST_MAIN(TestDataTable)
#include "test_data_table.moc"
