// The main window's import reads a workbook off the window's thread: the event loop goes on, the
// busy pointer shows meanwhile, and the data set arrives once the read is done.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <thread>

#include "data/formats/FormatRegistry.h"
#include "data/import/ImportDataFile.h"
#include "data/modGeneral.h"
#include "gui/app/ImportWorkflow.h"
#include "gui/output/OutputPane.h"

namespace g = corvane::modGeneral;

class TestImportWorkflow : public QObject {
    Q_OBJECT

  private slots:
    void aWorkbookIsReadWhileTheWindowGoesOn() {
        // The .xls reader, held until the window's timer has seen the read under way: on the
        // window's own thread the timer never runs, and the read goes on after five seconds.
        std::atomic<bool> reading{false}, released{false};
        std::vector<corvane::FormatRow> rows = corvane::FormatRegistry::Builtin().rows();
        for (corvane::FormatRow& row : rows) {
            if (row.name != "Excel 97-2003 workbook") continue;
            row.read = [&, read = row.read](const corvane::FormatInput& in) {
                reading = true;
                for (int waited = 0; waited < 5000 && !released; ++waited)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                return read(in);
            };
        }
        const corvane::FormatRegistry formats(rows);
        QWidget window;
        auto* pane = new OutputPane(&window);
        ImportWorkflow workflow(&window, pane, nullptr, nullptr, formats);
        QSignalSpy replaced(&workflow, &ImportWorkflow::dataSetReplaced);

        bool busyWhileReading = false;
        QTimer tick;
        tick.setInterval(2);
        connect(&tick, &QTimer::timeout, this, [&] {
            if (!reading || released) return;
            busyWhileReading = window.cursor().shape() == Qt::WaitCursor;
            released = true;
        });
        tick.start();
        const QString file = QStringLiteral(CORVANE_TEST_DATA "/written-by/xlwt_empty_row.xls");
        workflow.import(file, corvane::kDetectFormat);

        QVERIFY(released);  // the window's timer ran while the file was being read
        QVERIFY(busyWhileReading);
        QVERIFY(window.cursor().shape() != Qt::WaitCursor);
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(g::Current()->cases(), 5);
        QCOMPARE(g::Current()->variables(), 2);
        QVERIFY(pane->toPlainText().contains(QStringLiteral("Excel 97-2003 workbook")));
    }
};

QTEST_MAIN(TestImportWorkflow)
#include "test_import_workflow.moc"
