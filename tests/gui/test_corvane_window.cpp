#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <sstream>

#include "AnalysisTestData.h"
#include "KeyWalk.h"
#include "NextModal.h"
#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/EffectSizeReport.h"
#include "cli/CliMain.h"
#include "common/Messages.h"
#include "common/UniformGenerator.h"
#include "gui/analysis/frmCorvane.h"
#include "gui/analysis/frmDescriptives.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/app/frmMain.h"
#include "gui/data/frmNavigate.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"

using namespace analysis_test;
namespace g = corvane::modGeneral;

namespace {

constexpr std::uint64_t kSeed = 20261208;

// Two groups of six in Var 1 (codes 1 and 2), the scores in Var 2, a constant in Var 3.
void loadTwoGroups() {
    loadData({{1, 12.5f, 4},
              {2, 9.25f, 4},
              {1, 14, 4},
              {2, 11, 4},
              {1, 13.75f, 4},
              {2, 10.5f, 4},
              {1, 15, 4},
              {2, 8, 4},
              {1, 11, 4},
              {2, 12, 4},
              {1, 16.5f, 4},
              {2, 9, 4}});
}

// `perGroup` cases of each of the codes 1 and 2 in Var 1, their scores in Var 2: big enough
// that a bootstrap of 2000 trials runs for a while.
void loadLargeGroups(std::int32_t perGroup) {
    namespace g = corvane::modGeneral;
    corvane::DataMatrix m(2 * perGroup, 2);
    for (std::int32_t row = 1; row <= 2 * perGroup; ++row) {
        m(row, 1) = static_cast<float>(1 + row % 2);
        // Spread over 100,000 values: too many for a resample drawn as counts of its values,
        // so the run draws positions and takes the time these tests need.
        m(row, 2) = static_cast<float>((std::int64_t{row} * 7919) % 100000) / 1000.0f +
                    static_cast<float>(row % 2);
    }
    g::Replace(corvane::DataSet({std::move(m), 2 * perGroup, 2, {}, {}}));
}

// The trial box's number at each of its repaints, and whether OK was enabled then.
class ProgressWatcher : public QObject {
  public:
    ProgressWatcher(QLineEdit* box, QPushButton* ok) : m_box(box), m_ok(ok) {
        box->installEventFilter(this);
    }
    std::vector<int> counts;
    int paintsWithOkEnabled = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !m_box->text().isEmpty()) {
            counts.push_back(m_box->text().toInt());
            if (m_ok->isEnabled()) ++paintsWithOkEnabled;
        }
        return false;
    }

  private:
    QLineEdit* m_box;
    QPushButton* m_ok;
};

// What the core makes of the same choices with the same seed.
std::string expectedReport(std::int32_t dv, std::int32_t gv, const char* code1, const char* code2,
                           corvane::BootstrapSettings settings) {
    corvane::EffectSizeRequest request;
    request.dependent = dv;
    request.grouping = gv;
    request.code1Text = code1;
    request.code2Text = code2;
    request.settings = settings;
    auto outcome = corvane::RunEffectSizeAnalysis(*g::Current(), request, kSeed, {});
    return outcome.ok() ? corvane::BuildReport(outcome.value()) : std::string("(failed)");
}

// The batch tool's report of Var 2 by Var 1, groups 1 and 2, on the two groups written to a
// file, with CR LF line ends as the pane holds them.
QString batchReport(const QString& seed, const char* threads) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("groups.txt"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return QStringLiteral("(not written)");
    const auto& data = *g::Current();
    for (std::int32_t row = 1; row <= data.cases(); ++row) {
        out.write(QByteArray::number(data.matrix().at(row, 1)) + ' ' +
                  QByteArray::number(data.matrix().at(row, 2)) + '\n');
    }
    out.close();
    std::vector<std::string> args = {"effect-size", file.toStdString(), "--dv",  "2",        "--gv",
                                     "1",           "--group1",         "1",     "--group2", "2",
                                     "--seed",      seed.toStdString(), "--crlf"};
    if (threads != nullptr) args.insert(args.end(), {"--threads", threads});
    std::ostringstream report, err;
    corvane::cli::RunCli(args, report, err, {});
    return QString::fromStdString(report.str());
}

// Counts the repaints of the trial box and notes the window's pointer at each.
class TrialWatcher : public QObject {
  public:
    TrialWatcher(QWidget* box, QWidget* window) : m_window(window) {
        box->installEventFilter(this);
    }
    int paints = 0;
    int paintsWithoutBusyPointer = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            if (m_window->cursor().shape() != Qt::WaitCursor) ++paintsWithoutBusyPointer;
        }
        return false;
    }

  private:
    QWidget* m_window;
};

// What a value drop-down offers, entry by entry.
QStringList offered(const QToolButton* button) {
    QStringList entries;
    for (const QAction* a : button->menu()->actions()) entries << a->text();
    return entries;
}

}  // namespace

class TestCorvaneWindow : public AnalysisWindowCase {
    Q_OBJECT

  private:
    frmCorvane* open() {
        frmCorvane* w = m_windows->corvaneInstance();
        w->setSeedSource([] { return kSeed; });
        return showExposed(w);
    }
    static bool finishes(frmCorvane* w) {
        return QTest::qWaitFor([w] { return !w->isRunning(); }, 30000);
    }
    // Var 2 by Var 1, groups 1 and 2, ticked and typed as a user does.
    static void chooseVar2ByVar1(frmCorvane* w) {
        toggleTick(w->lstDV, 1);
        toggleTick(w->lstGV, 0);
        w->txtGroup1->setText(QStringLiteral("1"));
        w->txtGroup2->setText(QStringLiteral("2"));
    }

    // Ticks, codes and OK, stopping at the first message.
    void expectMessage(frmCorvane* w, const char* text) {
        expectAnalysisError(w, w->cmdOK, QString::fromUtf8(text));
    }

  private slots:
    void initTestCase() { MessageService::startScripting(); }

    void init() { startCase(); }
    void cleanup() { endCase(); }

    // From the file to the report: import, open from the menu, choose, OK, and open again.
    void typicalAnalysisFromTheMenus() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile f(dir.filePath(QStringLiteral("scores.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1 12.5\r\n2 9.25\r\n1 14\r\n2 11\r\n1 13.75\r\n2 10.5\r\n1 15\r\n2 8\r\n");
        f.close();

        frmMain main;
        main.Form_Load(std::chrono::milliseconds(0));
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(
            main.findChild<DirectoryListBox*>(QStringLiteral("dirDirectory"))->setPath(dir.path()));
        auto* files = main.findChild<FileListBox*>(QStringLiteral("filFile"));
        files->refresh();
        QVERIFY(files->clickFile(QStringLiteral("scores.txt")));
        main.findChild<QPushButton*>(QStringLiteral("cmdImportData"))->click();
        QCOMPARE(g::Current()->variables(), 2);
        const QString afterImport = main.outputPane()->textCrlf();

        bool stepRan = false;
        WhenModalUp([&](QWidget& shown) {
            auto& w = static_cast<frmCorvane&>(shown);
            stepRan = shown.isVisible();
            w.setSeedSource([] { return kSeed; });
            toggleTick(w.lstDV, 1);
            toggleTick(w.lstGV, 0);
            QTest::keyClicks(w.txtGroup1, QStringLiteral("1"));
            QTest::keyClicks(w.txtGroup2, QStringLiteral(" 2 "));
            QTest::mouseClick(w.trialButton(1000), Qt::LeftButton);
            QTest::mouseClick(w.opt90CI, Qt::LeftButton);
            QTest::mouseClick(w.optGroup2, Qt::LeftButton);
            QTest::mouseClick(w.optBCa, Qt::LeftButton);
            w.cmdOK->click();
            (void)QTest::qWaitFor([&w] { return !w.isRunning(); }, 30000);
            if (w.isVisible()) w.hide();  // a failed OK must not leave the loop running
        });
        main.findChild<QAction*>(QStringLiteral("mnuCorvane"))->trigger();
        QVERIFY(stepRan);
        QVERIFY(MessageService::shown().isEmpty());

        auto* w = static_cast<frmCorvane*>(main.analysisWindows()->corvane());
        QVERIFY(w != nullptr);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->m_lngDV, 2);
        QCOMPARE(w->m_lngGV, 1);
        const std::string report =
            expectedReport(2, 1, "1", " 2 ", {1000, 0.9f, 2, corvane::IntervalMethod::BCa});
        QCOMPARE(main.outputPane()->textCrlf(), afterImport + QString::fromStdString(report));
        QVERIFY(report.find("EFFECT SIZE ESTIMATES AND 90% CI\r\n") != std::string::npos);
        QVERIFY(report.find("Dep Var = Var 2; Grp Var = Var 1\r\n") != std::string::npos);
        QVERIFY(report.find(" (Using variance from Group 2)\r\n") != std::string::npos);
        QVERIFY(report.find("\r\n90% BCa CI for population D = (") != std::string::npos);

        // Opened again: the same instance, as it was left.
        bool sameState = false;
        WhenModalUp([&](QWidget& shown) {
            auto& again = static_cast<frmCorvane&>(shown);
            sameState = &again == w && tickedRows(again.lstDV) == std::vector<int>{1} &&
                        tickedRows(again.lstGV) == std::vector<int>{0} &&
                        again.txtGroup1->text() == QStringLiteral("1") &&
                        again.txtGroup2->text() == QStringLiteral(" 2 ") &&
                        again.trialButton(1000)->isChecked() && again.opt90CI->isChecked() &&
                        again.optGroup2->isChecked() && again.optBCa->isChecked() &&
                        again.txtTrial->text() == QStringLiteral("1000");
            again.cmdCancel->click();
        });
        main.findChild<QAction*>(QStringLiteral("mnuCorvane"))->trigger();
        QVERIFY(sameState);

        // A new import releases the window; the next one lists the new variables, unticked.
        QPointer<QWidget> old = w;
        QFile wide(dir.filePath(QStringLiteral("wide.txt")));
        QVERIFY(wide.open(QIODevice::WriteOnly));
        wide.write("1 2 3 4\r\n");
        wide.close();
        files->refresh();
        QVERIFY(files->clickFile(QStringLiteral("wide.txt")));
        main.findChild<QPushButton*>(QStringLiteral("cmdImportData"))->click();
        QVERIFY(old.isNull());
        int items = -1;
        bool unticked = false;
        WhenModalUp([&](QWidget& shown) {
            auto& fresh = static_cast<frmCorvane&>(shown);
            items = fresh.lstGV->count();
            unticked = tickedRows(fresh.lstDV).empty() && fresh.m_lngDV == 9999999;
            fresh.cmdCancel->click();
        });
        main.findChild<QAction*>(QStringLiteral("mnuCorvane"))->trigger();
        QCOMPARE(items, 4);
        QVERIFY(unticked);
        main.m_lngUnloadProgram = 1;
    }

    void validationMessagesInOrder() {
        loadTwoGroups();
        frmCorvane* w = open();
        expectMessage(w, corvane::msg::kNoDependentVariable);
        toggleTick(w->lstDV, 1);
        expectMessage(w, corvane::msg::kNoGroupingVariable);
        toggleTick(w->lstGV, 0);
        expectMessage(w, corvane::msg::kGroup1CodeInvalid);  // empty
        for (const char* bad : {"1a", ".", " "}) {
            w->txtGroup1->setText(QString::fromUtf8(bad));
            expectMessage(w, corvane::msg::kGroup1CodeInvalid);
        }
        w->txtGroup1->setText(QStringLiteral(" 1 "));
        expectMessage(w, corvane::msg::kGroup2CodeInvalid);
        w->txtGroup2->setText(QStringLiteral("2x"));
        expectMessage(w, corvane::msg::kGroup2CodeInvalid);
        w->txtGroup2->setText(QStringLiteral("1"));  // both codes equal
        expectMessage(w, corvane::msg::kGroup2TooSmall);
        w->txtGroup1->setText(QStringLiteral("7"));  // a code no case has
        w->txtGroup2->setText(QStringLiteral("2"));
        expectMessage(w, corvane::msg::kGroup1TooSmall);
        // Var 3 is constant: the chosen group has no variance.
        w->txtGroup1->setText(QStringLiteral("1"));
        toggleTick(w->lstDV, 2);
        expectMessage(w, corvane::msg::kGroup1ZeroVariance);
        w->optGroup2->setChecked(true);
        expectMessage(w, corvane::msg::kGroup2ZeroVariance);
    }

    void noDataMeansNoVariable() {
        frmCorvane* w = open();
        QCOMPARE(w->lstDV->count(), 0);
        QCOMPARE(w->lstGV->count(), 0);
        expectMessage(w, corvane::msg::kNoDependentVariable);
    }

    void overflowEndsWithItsMessage() {
        loadData({{1, 3e30f}, {1, -3e30f}, {2, 1}, {2, 2}});
        frmCorvane* w = open();
        chooseVar2ByVar1(w);
        expectMessage(w, corvane::msg::VarianceTooLarge(2, 1).c_str());
    }

    void oneTickPerList() {
        loadData({{1, 2, 3}});
        frmCorvane* w = open();
        QCOMPARE(w->lstDV->item(2)->text(), QStringLiteral("Var 3"));
        QCOMPARE(w->m_lngDV, 9999999);
        toggleTick(w->lstDV, 0);
        QCOMPARE(w->m_lngDV, 1);
        toggleTick(w->lstDV, 1);  // the old tick goes
        QCOMPARE(tickedRows(w->lstDV), std::vector<int>{1});
        QCOMPARE(w->m_lngDV, 2);
        // A notification heard again, late, for the item that lost its tick changes nothing.
        w->lstDV_ItemCheck(0);
        QCOMPARE(w->m_lngDV, 2);
        QCOMPARE(tickedRows(w->lstDV), std::vector<int>{1});
        // The same variable may be ticked in both lists; the lists do not meet.
        toggleTick(w->lstGV, 1);
        QCOMPARE(w->m_lngGV, 2);
        QCOMPARE(w->m_lngDV, 2);
        toggleTick(w->lstDV, 1);  // unticked: none left
        QVERIFY(tickedRows(w->lstDV).empty());
        QCOMPARE(w->m_lngDV, 9999999);
        QCOMPARE(w->m_lngGV, 2);
        expectMessage(w, corvane::msg::kNoDependentVariable);
        // Ticks set from code go through the same rule.
        w->lstGV->item(2)->setCheckState(Qt::Checked);
        QCOMPARE(tickedRows(w->lstGV), std::vector<int>{2});
        QCOMPARE(w->m_lngGV, 3);
    }

    void trialCounterRepaintsUnderTheBusyPointer() {
        loadTwoGroups();
        frmCorvane* w = open();
        int seeds = 0;
        w->setSeedSource([&seeds] {
            ++seeds;
            return kSeed;
        });
        chooseVar2ByVar1(w);
        TrialWatcher watcher(w->txtTrial, w);
        w->cmdOK->click();
        QVERIFY(finishes(w));
        QCOMPARE(seeds, 1);
        QCOMPARE(w->txtTrial->text(), QStringLiteral("600"));
        // The box counts completed trials, repainted as they complete; T at the end.
        QVERIFY2(watcher.paints >= 1, qPrintable(QString::number(watcher.paints)));
        QCOMPARE(watcher.paintsWithoutBusyPointer, 0);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
    }

    void progressCountsCompletedTrialsUpToT() {
        loadLargeGroups(20000);
        frmCorvane* w = open();
        chooseVar2ByVar1(w);
        w->trialButton(2000)->setChecked(true);
        ProgressWatcher watcher(w->txtTrial, w->cmdOK);
        w->cmdOK->click();
        QVERIFY(w->isRunning());
        QVERIFY(finishes(w));
        QVERIFY(!watcher.counts.empty());
        QVERIFY(std::is_sorted(watcher.counts.begin(), watcher.counts.end()));
        QCOMPARE(watcher.counts.back(), 2000);
        QCOMPARE(watcher.paintsWithOkEnabled, 0);
        QCOMPARE(m_pane->textCrlf(),
                 QString::fromStdString(expectedReport(2, 1, "1", "2", {2000, 0.95f, 1})));
    }

    // A run reads the data set it started with, whatever is loaded while it goes on.
    void aRunKeepsItsDataWhileANewSetIsLoaded() {
        loadLargeGroups(20000);
        const QString report =
            QString::fromStdString(expectedReport(2, 1, "1", "2", {600, 0.95f, 1}));
        frmCorvane* w = open();
        chooseVar2ByVar1(w);
        w->cmdOK->click();
        loadTwoGroups();
        QVERIFY(w->isRunning());
        QVERIFY(finishes(w));
        QCOMPARE(m_pane->textCrlf(), report);
    }

    // While a long run goes on only Cancel answers; Cancel, Escape and the close box stop it,
    // and nothing is appended.
    void aLongRunStopsWithNothingAppended() {
        loadLargeGroups(500000);
        m_pane->setTextCrlf(QStringLiteral("before"));
        frmCorvane* w = open();
        chooseVar2ByVar1(w);
        w->trialButton(2000)->setChecked(true);
        w->opt90CI->setChecked(true);
        w->optGroup2->setChecked(true);
        auto settingsKept = [w] {
            return w->m_lngDV == 2 && w->m_lngGV == 1 && tickedRows(w->lstDV) == std::vector{1} &&
                   tickedRows(w->lstGV) == std::vector{0} && w->txtGroup1->text() == "1" &&
                   w->txtGroup2->text() == "2" && w->trialButton(2000)->isChecked() &&
                   w->opt90CI->isChecked() && w->optGroup2->isChecked();
        };
        QWidget* const others[] = {w->lstDV,
                                   w->lstGV,
                                   w->txtGroup1,
                                   w->txtGroup2,
                                   w->trialButton(600),
                                   w->trialButton(2000),
                                   w->opt95CI,
                                   w->optGroup1,
                                   w->cmdOK};

        const Qt::CursorShape trialBoxPointer = w->txtTrial->cursor().shape();
        w->cmdOK->click();
        QVERIFY(w->isRunning());
        for (QWidget* c : others) QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        QVERIFY(w->cmdCancel->isEnabled());
        QCOMPARE(w->cursor().shape(), Qt::WaitCursor);
        QCOMPARE(w->txtTrial->cursor().shape(), Qt::WaitCursor);
        QTRY_VERIFY_WITH_TIMEOUT(w->txtTrial->text().toInt() > 0, 30000);
        w->cmdCancel->click();
        QVERIFY(!w->isRunning());
        QVERIFY(w->txtTrial->text().toInt() < 2000);
        QVERIFY(w->isVisible());
        for (QWidget* c : others) QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w->txtTrial->cursor().shape(), trialBoxPointer);
        QVERIFY(settingsKept());
        QTest::qWait(100);  // the stopped run's end, if it was posted, arrives and is ignored
        QCOMPARE(m_pane->textCrlf(), QStringLiteral("before"));
        QVERIFY(MessageService::shown().isEmpty());

        // Escape, wherever the focus is.
        w->cmdOK->click();
        QVERIFY(w->isRunning());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w,
                        Qt::Key_Escape);
        QVERIFY(!w->isRunning());
        QVERIFY(w->isVisible());
        QVERIFY(settingsKept());

        // The close box, and the program letting its windows go: no thread is left behind.
        QPointer<frmCorvane> closed = w;
        w->cmdOK->click();
        QVERIFY(w->close());
        QTRY_VERIFY(closed.isNull());
        w = m_windows->corvaneInstance();
        chooseVar2ByVar1(w);
        w->cmdOK->click();
        QVERIFY(w->isRunning());
        m_windows.reset();
        QCOMPARE(m_pane->textCrlf(), QStringLiteral("before"));
        QVERIFY(MessageService::shown().isEmpty());
    }

    // The generator is reseeded at every OK; the reports follow one another in the pane.
    void reportsAppendOneAfterAnother() {
        loadTwoGroups();
        m_pane->setTextCrlf(QStringLiteral("before"));
        frmCorvane* w = open();
        chooseVar2ByVar1(w);
        w->trialButton(2000)->setChecked(true);
        w->opt99CI->setChecked(true);
        w->cmdOK->click();
        QVERIFY(finishes(w));
        w->show();
        w->cmdOK->click();
        QVERIFY(finishes(w));
        const QString one =
            QString::fromStdString(expectedReport(2, 1, "1", "2", {2000, 0.99f, 1}));
        QVERIFY(one.startsWith(QStringLiteral("GROUP-LEVEL STATISTICS\r\n")));
        QVERIFY(one.contains(QStringLiteral("\r\n99% CI for population D = (")));
        QVERIFY(one.contains(QStringLiteral("Number of attempted bootstrap trials = 2000\r\n")));
        QCOMPARE(m_pane->textCrlf(), QStringLiteral("before") + one + one);
    }

    // A report seeded from the clock names its seed, and the batch tool given that seed prints
    // the same report on one thread and on all; so does a seed typed into the window.
    void theBatchToolRepeatsAReportFromItsSeed() {
        loadTwoGroups();
        frmCorvane* w = open();
        w->setSeedSource(&corvane::UniformGenerator::ClockSeed);
        chooseVar2ByVar1(w);
        w->cmdOK->click();
        QVERIFY(finishes(w));
        const QString clock = m_pane->textCrlf();
        const QString key = QStringLiteral("\r\nBootstrap seed = ");
        const qsizetype at = clock.indexOf(key) + key.size();
        const QString seed = clock.mid(at, clock.indexOf(QStringLiteral("\r\n"), at) - at);
        QCOMPARE(batchReport(seed, "1"), clock);
        QCOMPARE(batchReport(seed, nullptr), clock);

        m_pane->setTextCrlf(QString());
        w->show();
        w->txtSeed->setText(QStringLiteral(" 18446744073709551615 "));
        w->cmdOK->click();
        QVERIFY(finishes(w));
        QCOMPARE(m_pane->textCrlf(), batchReport(QStringLiteral("18446744073709551615"), nullptr));
        // The seed stays in its box for the next opening.
        w->show();
        QCOMPARE(w->txtSeed->text(), QStringLiteral(" 18446744073709551615 "));
    }

    void aSeedThatIsNoWholeNumberInRangeIsRefused() {
        loadTwoGroups();
        frmCorvane* w = open();
        chooseVar2ByVar1(w);
        for (const char* bad : {"-1", "1.5", "12a", "18446744073709551616"}) {
            w->txtSeed->setText(QString::fromUtf8(bad));
            expectMessage(w, corvane::msg::kSeedInvalid);
        }
    }

    void cancelHidesAndTheCloseBoxReleases() {
        loadData({{1, 2}, {2, 3}});
        frmCorvane* w = open();
        toggleTick(w->lstDV, 1);
        w->txtGroup1->setText(QStringLiteral("5"));
        w->trialButton(1400)->setChecked(true);
        w->cmdCancel->click();
        QVERIFY(!w->isVisible());
        QCOMPARE(m_windows->corvaneInstance(), w);
        QCOMPARE(w->m_lngDV, 2);
        QCOMPARE(w->txtGroup1->text(), QStringLiteral("5"));

        // Escape is no Cancel; Enter presses nothing.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QSignalSpy pressed(w->cmdOK, &QPushButton::clicked);
        w->cmdOK->setFocus();
        QTest::keyClick(w->cmdOK, Qt::Key_Return);
        QCOMPARE(pressed.count(), 0);
        QVERIFY(!w->isRunning());

        QPointer<frmCorvane> closed = w;
        QVERIFY(w->close());
        QVERIFY(w->isUnloaded());
        frmCorvane* fresh = m_windows->corvaneInstance();
        QVERIFY(closed.isNull());
        QVERIFY(tickedRows(fresh->lstDV).empty());
        QCOMPARE(fresh->m_lngDV, 9999999);
        QVERIFY(fresh->txtGroup1->text().isEmpty());
        QVERIFY(fresh->trialButton(600)->isChecked() && fresh->opt95CI->isChecked() &&
                fresh->optGroup1->isChecked() && fresh->optPercentile->isChecked());

        // Closed from its title bar while shown modally: gone when the showing returns.
        WhenModalUp([](QWidget& shown) { shown.close(); });
        m_windows->showCorvane();
        QVERIFY(m_windows->corvane() == nullptr);
    }

    void anImportDiscardsTheWindow() {
        loadData({{1, 2}});
        frmCorvane* w = m_windows->corvaneInstance();
        QCOMPARE(w->lstDV->count(), 2);
        QPointer<frmCorvane> old = w;
        loadData({{1, 2, 3, 4, 5}});
        m_windows->discardAnalysisWindows();
        QVERIFY(old.isNull());
        QVERIFY(m_windows->corvane() == nullptr);
        w = m_windows->corvaneInstance();
        QCOMPARE(w->lstDV->count(), 5);
        QCOMPARE(w->lstGV->count(), 5);
    }

    // Ticking a grouping variable offers its values with their counts beside both boxes;
    // picking one writes it into the box, and OK reads the box as if it had been typed.
    void groupBoxesOfferTheGroupingVariablesValues() {
        // Var 1 text groups, Var 2 scores, Var 3 the same groups as numbers, Var 4 numbers with
        // one labelled code, Var 5 a different number in each case.
        std::vector<std::vector<float>> rows;
        for (int r = 1; r <= 60; ++r) {
            const float group = static_cast<float>(1 + r % 2);
            rows.push_back({group, static_cast<float>((r * 37) % 23) + group, group,
                            r % 3 == 0 ? 3.0f : 1.0f, static_cast<float>(r)});
        }
        rows.push_back({M, 5, M, M, M});  // missing cells are counted nowhere
        loadData(rows, {textFacts({"control", "treatment"}), plainFacts(), plainFacts(),
                        labelledFacts({{1, "low"}, {2, "mid"}})});
        frmCorvane* w = open();
        QVERIFY(!w->cmdGroup1Values->isEnabled() && !w->cmdGroup2Values->isEnabled());

        toggleTick(w->lstGV, 0);
        QCOMPARE(offered(w->cmdGroup1Values),
                 QStringList({"control: 30 cases", "treatment: 30 cases"}));
        QCOMPARE(offered(w->cmdGroup2Values), offered(w->cmdGroup1Values));
        w->cmdGroup2Values->menu()->actions().at(1)->trigger();
        QCOMPARE(w->txtGroup2->text(), QStringLiteral("treatment"));
        QVERIFY(w->txtGroup1->text().isEmpty());

        toggleTick(w->lstGV, 3);
        QCOMPARE(offered(w->cmdGroup1Values), QStringList({"1 (low): 40 cases", "3: 20 cases"}));
        w->cmdGroup1Values->menu()->actions().at(0)->trigger();
        QCOMPARE(w->txtGroup1->text(), QStringLiteral("low"));

        // Too many values for a list, and no grouping variable: nothing to offer.
        toggleTick(w->lstGV, 4);
        QVERIFY(!w->cmdGroup1Values->isEnabled() && !w->cmdGroup2Values->isEnabled());
        toggleTick(w->lstGV, 4);
        QVERIFY(!w->cmdGroup1Values->isEnabled());

        // Alt+Down in a box opens its list, as in a combo box.
        toggleTick(w->lstGV, 2);
        QWidget* popup = nullptr;
        QTimer::singleShot(0, w, [&popup] {
            popup = QApplication::activePopupWidget();
            if (popup != nullptr) popup->close();
        });
        w->txtGroup1->setFocus();
        QTest::keyClick(w->txtGroup1, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(popup, static_cast<QWidget*>(w->cmdGroup1Values->menu()));

        toggleTick(w->lstDV, 1);
        w->cmdGroup1Values->menu()->actions().at(1)->trigger();
        w->cmdGroup2Values->menu()->actions().at(0)->trigger();
        QCOMPARE(w->txtGroup1->text() + w->txtGroup2->text(), QStringLiteral("21"));
        w->cmdOK->click();
        QVERIFY(finishes(w));
        QCOMPARE(m_pane->textCrlf(),
                 QString::fromStdString(expectedReport(2, 3, "2", "1", {600, 0.95f, 1})));
    }

    // Names too long for the window's first size: a list item cut in the middle with its whole
    // name in its tooltip, the group boxes showing the start of a label, the variance choice
    // naming each chosen group. A window made larger shows them whole.
    void longNamesShowWholeInALargerWindow() {
        const QString label = QStringLiteral("treatment_with_placebo_and_followup");
        std::vector<std::vector<float>> rows;
        for (int r = 1; r <= 8; ++r) rows.push_back({1.0f + r % 2, 1.0f * (r % 5)});
        const char* longest = "the_third_arm_whose_label_is_longer_than_any_list_of_values_shows";
        rows.push_back({3, 1});
        rows.push_back({3, 2});
        loadData(rows, {textFacts({"control", "treatment_with_placebo_and_followup", longest})},
                 {"treatment_group_assignment", "reaction_time_in_milliseconds"});
        frmCorvane* w = open();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const QSize first = w->size();
        QCOMPARE(w->minimumSize(), first);
        QCOMPARE(toolTipOver(w->lstDV, 1), w->lstDV->item(1)->text());

        toggleTick(w->lstGV, 0);
        QCOMPARE(w->optGroup1->text(), QStringLiteral("Group 1"));
        // The values list cuts a label too long for it in the middle, whole in its tooltip.
        const QAction* third = w->cmdGroup1Values->menu()->actions().at(2);
        QVERIFY(third->text().startsWith(QStringLiteral("the_third")));
        QVERIFY(third->text().endsWith(QStringLiteral("shows: 2 cases")));
        QCOMPARE(third->toolTip(), QString::fromUtf8(longest));
        w->txtGroup1->setFocus();
        QTest::keyClicks(w->txtGroup1, QStringLiteral("control"));
        QCOMPARE(w->optGroup1->text(), QStringLiteral("Group 1 (control)"));
        w->cmdGroup2Values->menu()->actions().at(1)->trigger();
        QCOMPARE(w->txtGroup2->cursorPosition(), 0);
        const QString caption = QStringLiteral("Group 2 (") + label + QStringLiteral(")");
        QCOMPARE(w->optGroup2->toolTip(), caption);
        QVERIFY(w->optGroup2->text() != caption);
        // A long label typed shows its start once the user moves on.
        w->txtGroup1->clear();
        QTest::keyClicks(w->txtGroup1, label);
        QVERIFY(w->txtGroup1->cursorPosition() > 0);
        w->txtSeed->setFocus();
        QCOMPARE(w->txtGroup1->cursorPosition(), 0);

        w->resize(first.width() * 2, first.height() * 3 / 2);
        QCOMPARE(toolTipOver(w->lstDV, 1), QString());
        QCOMPARE(w->optGroup2->text(), caption);
        QVERIFY(w->optGroup2->toolTip().isEmpty());
        // Every frame still inside the window, the buttons under the variance choice.
        for (QWidget* frame : {w->fraSelectGroups, w->fraTrials, w->fraConfidence, w->fraPickGroup})
            QVERIFY2(w->rect().contains(frame->geometry()), qPrintable(frame->objectName()));
        QVERIFY(w->cmdOK->y() > w->txtSeed->geometry().bottom());
        QVERIFY(w->rect().contains(w->cmdCancel->geometry()));
        toggleTick(w->lstGV, 0);  // no grouping variable: no group to name
        QCOMPARE(w->optGroup2->text(), QStringLiteral("Group 2"));
    }

    // The fixed boxes were drawn for a narrow dialog font: no caption may be cut off.
    void captionsFitInEveryWindow() {
        loadData({{1, 2}});
        frmNavigate navigator(g::Current());
        QVERIFY(navigator.Form_Load());
        QWidget* windows[] = {m_windows->corvaneInstance(), m_windows->descriptivesInstance(),
                              &navigator};
        for (QWidget* w : windows) {
            for (QLabel* l : w->findChildren<QLabel*>())
                QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(l->objectName()));
            for (QRadioButton* b : w->findChildren<QRadioButton*>())
                QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->objectName()));
        }
    }

    void focusOrder() {
        loadData({{1, 2}});
        frmCorvane* w = open();
        const QWidget* expected[] = {w->lstDV,
                                     w->lstGV,
                                     w->cmdOK,
                                     w->cmdCancel,
                                     w->txtGroup1,
                                     w->txtGroup2,
                                     w->trialButton(600),
                                     w->trialButton(800),
                                     w->trialButton(1000),
                                     w->trialButton(1200),
                                     w->trialButton(1400),
                                     w->trialButton(1600),
                                     w->trialButton(1800),
                                     w->trialButton(2000),
                                     w->opt90CI,
                                     w->opt95CI,
                                     w->opt99CI,
                                     w->txtTrial,
                                     w->optGroup1,
                                     w->optGroup2,
                                     w->optPercentile,
                                     w->optBCa,
                                     w->txtSeed};
        QWidget* at = w->lstDV;
        for (std::size_t i = 1; i < std::size(expected); ++i) {
            do {
                at = at->nextInFocusChain();
            } while (!(at->focusPolicy() & Qt::TabFocus));
            QCOMPARE(at, expected[i]);
        }
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(spaceOnlyPresses(w, w->cmdCancel), QString());
        QVERIFY(w->isHidden());  // Space pressed Cancel
    }
};

QTEST_MAIN(TestCorvaneWindow)
#include "test_corvane_window.moc"
