#include <QAction>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/BootstrapDistributions.h"
#include "common/Messages.h"
#include "gui/analysis/ChartTitleWrap.h"
#include "gui/analysis/MarkerLabels.h"
#include "gui/analysis/frmBootstrapDistributions.h"
#include "gui/analysis/frmCorvane.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/app/frmMain.h"
#include "gui/platform/Clipboard.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/RememberedFolder.h"
#include "gui/platform/StringConversions.h"

namespace {

// Imports `name` from `folder` through the file list and the import button.
void importThroughTheLists(frmMain& main, const QString& folder, const QString& name) {
    QVERIFY(main.findChild<DirectoryListBox*>(QStringLiteral("dirDirectory"))->setPath(folder));
    auto* files = main.findChild<FileListBox*>(QStringLiteral("filFile"));
    files->refresh();
    QVERIFY(files->clickFile(name));
    main.findChild<QPushButton*>(QStringLiteral("cmdImportData"))->click();
}

// The effect-size window's OK on Var 2 by Var 1, groups 1 and 2, with `trials` picked.
void runEffectSize(AnalysisWindows& windows, std::int32_t trials) {
    frmCorvane* w = windows.corvaneInstance();
    w->setSeedSource([] { return std::uint64_t{77}; });
    w->lstDV->item(1)->setCheckState(Qt::Checked);
    w->lstGV->item(0)->setCheckState(Qt::Checked);
    w->txtGroup1->setText(QStringLiteral("1"));
    w->txtGroup2->setText(QStringLiteral("2"));
    w->trialButton(trials)->setChecked(true);
    w->cmdOK->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->isRunning(), 30000);
}

using corvane::EstimateKind;

QString chartTitle(const frmBootstrapDistributions* w) { return w->title(EstimateKind::RobustD); }

// The title as the chart draws it, its lines joined by spaces; empty while it has none.
QString drawnTitle(QChartView* view, const QString& start) {
    for (QGraphicsItem* item : view->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (text == nullptr || !text->toPlainText().startsWith(start)) continue;
        return text->toPlainText()
            .replace(QChar::LineSeparator, QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return {};
}

corvane::BootstrapDistributions Distributions(const corvane::GroupSample& group1,
                                              const corvane::GroupSample& group2,
                                              std::int32_t trials, std::uint64_t seed) {
    corvane::EffectSizeOutcome outcome;
    outcome.subject.dependent = 2;
    outcome.subject.grouping = 1;
    outcome.subject.groups.code1 = 1;
    outcome.subject.groups.code2 = 2;
    outcome.settings.trials = trials;
    outcome.result = corvane::RunBootstrap(group1, group2, outcome.settings, seed).value();
    return corvane::MakeBootstrapDistributions(outcome);
}

corvane::BootstrapDistributions SomeRun() {
    return Distributions({3, 7, 9, 4, 5, 1}, {2, 8, 9, 12, 10, 4, 11},
                         corvane::BootstrapSettings{}.trials, 5);
}

// R's sleep data, 2000 trials: the robust d has a long right tail, and its lower bound and
// observed value lie a few pixels apart.
corvane::BootstrapDistributions SleepRun() {
    return Distributions({0.7, -1.6, -0.2, -1.2, -0.1, 3.4, 3.7, 0.8, 0.0, 2.0},
                         {1.9, 0.8, 1.1, 0.1, -0.1, 4.4, 5.5, 1.6, 4.6, 3.4}, 2000, 77);
}

// No two labels meet, and each sits on or beside its line.
bool LabelsApart(const MarkerLabels* labels) {
    const QList<QRectF> rects = labels->rects();
    const QList<double> xs = labels->lineXs();
    for (qsizetype i = 0; i < rects.size(); ++i) {
        if (xs[i] < rects[i].left() - 4 || xs[i] > rects[i].right() + 4) return false;
        for (qsizetype j = 0; j < i; ++j) {
            if (rects[i].intersects(rects[j])) return false;
        }
    }
    return rects.size() == 3;
}

}  // namespace

class TestDistributionWindow : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { MessageService::startScripting(); }
    void init() { MessageService::clearShown(); }
    void cleanup() { QCOMPARE(MessageService::unansweredCount(), 0); }

    void theMenuItemFollowsTheImportAndEachRunReplacesThePictures() {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("scores.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1 12.5\n2 9.25\n1 14\n2 11\n1 13.75\n2 10.5\n1 15\n2 8\n1 11\n2 12\n");
        f.close();

        frmMain main;
        main.Form_Load(std::chrono::milliseconds(0));
        auto* item = main.findChild<QAction*>(QStringLiteral("mnuBootstrapDistributions"));
        QVERIFY(item != nullptr);
        QVERIFY(!item->isEnabled());
        // The sentence for a paper follows the same runs and imports.
        auto* copy = main.findChild<QAction*>(QStringLiteral("mnuCopyResultForPaper"));
        QVERIFY(copy != nullptr);
        QVERIFY(!copy->isEnabled());
        importThroughTheLists(main, dir.path(), QStringLiteral("scores.txt"));
        QVERIFY(!item->isEnabled());
        QVERIFY(!copy->isEnabled());

        AnalysisWindows& windows = *main.analysisWindows();
        runEffectSize(windows, 600);
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(item->isEnabled());
        QVERIFY(copy->isEnabled());
        Clipboard::clear();
        copy->trigger();
        const QString sentence = Clipboard::text();
        QVERIFY(sentence.startsWith(QStringLiteral(
            "For Var 2, Var 1 = 2 (n = 5) against Var 1 = 1 (n = 5): Glass's \u0394 = ")));
        QVERIFY(sentence.contains(QStringLiteral("; percentile bootstrap, 600 resamples, seed ")));
        item->trigger();
        frmBootstrapDistributions* shown = windows.distributions().shownWindow();
        QVERIFY(shown != nullptr);
        QVERIFY(shown->isVisible());
        QVERIFY(!shown->isModal());
        QVERIFY(
            chartTitle(shown).startsWith(QStringLiteral("Robust Cohen's D: Var 2 by Var 1, "
                                                        "groups 1 and 2, ")));
        QVERIFY(chartTitle(shown).endsWith(QStringLiteral(" of 600 trials, 95% CI")));

        // A second run redraws the window already open; the menu shows that one instance.
        runEffectSize(windows, 1000);
        QCOMPARE(windows.distributions().shownWindow(), shown);
        QVERIFY(chartTitle(shown).endsWith(QStringLiteral(" of 1000 trials, 95% CI")));
        item->trigger();
        QCOMPARE(windows.distributions().shownWindow(), shown);

        // A failed run keeps the last pictures; a new import drops them with the window.
        windows.corvaneInstance()->txtGroup2->setText(QStringLiteral("x"));
        windows.corvaneInstance()->cmdOK->click();
        QTRY_COMPARE_WITH_TIMEOUT(MessageService::shown().size(), 1, 30000);
        QVERIFY(item->isEnabled());
        importThroughTheLists(main, dir.path(), QStringLiteral("scores.txt"));
        QVERIFY(!item->isEnabled());
        QVERIFY(!copy->isEnabled());
        QVERIFY(windows.distributions().shownWindow() == nullptr);
    }

    void theMarkersSitAtTheReportedValues() {
        frmBootstrapDistributions w;
        const corvane::BootstrapDistributions run = SomeRun();
        w.showDistributions(run);
        QStringList names;
        for (QAbstractSeries* s : w.chartView(EstimateKind::D)->chart()->series()) {
            auto* line = qobject_cast<QLineSeries*>(s);
            if (line == nullptr || line->count() != 2) continue;
            QCOMPARE(line->at(0).x(), line->at(1).x());
            names << line->name() + QStringLiteral("@") + QString::number(line->at(0).x(), 'g', 9);
        }
        auto at = [](const corvane::DistributionMarker& m) {
            return QString::fromStdString(" = " + m.text) + QStringLiteral("@") +
                   QString::number(static_cast<double>(m.value), 'g', 9);
        };
        const corvane::BootstrapDistribution& d = run.of(EstimateKind::D).picture;
        QCOMPARE(names, (QStringList{QStringLiteral("Cohen's D") + at(d.observed()),
                                     QStringLiteral("Lower bound") + at(d.lower()),
                                     QStringLiteral("Upper bound") + at(d.upper())}));
    }

    void aLongTailStaysOffTheAxisAndNoLabelsOverlap() {
        const corvane::BootstrapDistributions run = SleepRun();
        frmBootstrapDistributions w;
        w.showDistributions(run);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QLabel* beyond = w.beyondLabel(EstimateKind::RobustD);
        QCOMPARE(beyond->objectName(), QStringLiteral("lblRobustDBeyond"));
        QVERIFY(beyond->isVisible());
        QVERIFY(!beyond->text().isEmpty());
        QCOMPARE(beyond->text(), FromCore(run.of(EstimateKind::RobustD).picture.beyondAxisText()));

        QChartView* robustView = w.chartView(EstimateKind::RobustD);
        QCOMPARE(robustView->objectName(), QStringLiteral("chtRobustD"));
        auto* robust = robustView->chart()->findChild<MarkerLabels*>();
        for (const QSize size : {w.minimumSizeHint(), QSize(760, 720), QSize(1500, 1000)}) {
            w.resize(size);
            for (QChartView* view : {w.chartView(EstimateKind::D), robustView}) {
                QTRY_VERIFY(LabelsApart(view->chart()->findChild<MarkerLabels*>()));
            }
        }
        // At the smallest size the robust d's labels cannot all share one row.
        w.resize(w.minimumSizeHint());
        QTRY_VERIFY(LabelsApart(robust));
        QSet<double> tops;
        for (const QRectF& r : robust->rects()) tops.insert(r.top());
        QVERIFY(tops.size() > 1);
    }

    // Titles wrap at spaces rather than being cut, however narrow the window.
    void titlesWrapWhole() {
        corvane::BootstrapDistributions run = SomeRun();
        const QString whole = QStringLiteral(
            "Robust Cohen's D: Var 2 (reaction_time_in_milliseconds) by Var 1 "
            "(treatment_group_assignment), groups control and treatment_with_placebo, 2000 of "
            "2000 trials, 95% CI");
        run.estimates[corvane::IndexOf(EstimateKind::RobustD)].title = whole.toStdString();
        frmBootstrapDistributions w;
        w.showDistributions(run);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (const QSize size : {w.minimumSizeHint(), QSize(1500, 1000)}) {
            w.resize(size);
            QTRY_COMPARE(drawnTitle(w.chartView(EstimateKind::RobustD), "Robust Cohen's D:"),
                         whole);
        }
        QCOMPARE(w.title(EstimateKind::RobustD), whole);

        // A word wider than a line is broken inside, none of it lost.
        const QFontMetrics metrics(w.font());
        const QString word = QStringLiteral("reaction_time_in_milliseconds_after_the_second_visit");
        const QStringList lines = ChartTitleWrap::wrap("Cohen's D: " + word, metrics, 120);
        QVERIFY(lines.size() > 2);
        QCOMPARE(lines.at(0), QStringLiteral("Cohen's D:"));
        for (const QString& line : lines) QVERIFY(metrics.horizontalAdvance(line) <= 120);
        QCOMPARE(lines.mid(1).join(QString()), word);
    }

    // PNG for print: twice the window's pixels and at least 1600 wide, marked 300 dpi; SVG at the
    // window's size. The name offered comes from the run, in the folder last saved to.
    void savedPicturesLoadBack() {
        QTemporaryDir dir;
        auto settings =
            std::make_shared<QSettings>(dir.filePath("settings.ini"), QSettings::IniFormat);
        QString next;
        QStringList offered;
        frmBootstrapDistributions w(
            nullptr,
            [&](QWidget*, const QString&, const QString& start, const QString&) {
                offered << start;
                return next;
            },
            RememberedFolder(settings, QStringLiteral("pictures/lastFolder")));
        const corvane::BootstrapDistributions run = SomeRun();
        w.showDistributions(run);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("figures")));
        next = dir.filePath(QStringLiteral("figures/picture.png"));
        w.cmdSavePicture->click();
        QImageReader png(next);
        QCOMPARE(png.format(), QByteArray("png"));
        const QImage image = png.read();
        QVERIFY(!image.isNull());
        // The charts' part of the window, which the picture shows.
        const QSize window =
            w.chartView(EstimateKind::D)->parentWidget()->size() * w.devicePixelRatio();
        QVERIFY(image.width() >= 1600 && image.width() >= 2 * window.width());
        QVERIFY(qAbs(image.height() * window.width() / image.width() - window.height()) <= 1);
        QCOMPARE(image.dotsPerMeterX(), 11811);  // 300 dpi
        QCOMPARE(image.dotsPerMeterY(), 11811);

        next = dir.filePath(QStringLiteral("picture.SVG"));
        w.cmdSavePicture->click();
        QSvgRenderer svg(next);
        QVERIFY(svg.isValid());
        QVERIFY(svg.defaultSize().width() > 400);
        QVERIFY(MessageService::shown().isEmpty());
        const QString name = QString::fromStdString(run.fileStem) + QStringLiteral(".png");
        QCOMPARE(offered.size(), 2);
        QCOMPARE(QFileInfo(offered.at(0)).fileName(), name);
        QCOMPARE(offered.at(1), QDir(dir.filePath(QStringLiteral("figures"))).filePath(name));

        // Another extension or a folder that is not there: a box, and no file.
        next = dir.filePath(QStringLiteral("picture.jpg"));
        w.cmdSavePicture->click();
        next = dir.filePath(QStringLiteral("gone/picture.png"));
        w.cmdSavePicture->click();
        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(offered.last(), QDir(dir.path()).filePath(name));
        QCOMPARE(MessageService::shown().at(0).title, QStringLiteral("Save Picture"));
        QCOMPARE(MessageService::shown().at(0).text,
                 QString::fromUtf8(corvane::msg::kPictureNameNeedsExtension));
        QVERIFY(MessageService::shown().at(1).text.startsWith(
            QStringLiteral("The picture could not be saved to ") + next + QStringLiteral(" (")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("picture.jpg"))));

        // Cancelling the dialog writes nothing.
        next.clear();
        w.cmdSavePicture->click();
        QCOMPARE(MessageService::shown().size(), 2);
    }
};

QTEST_MAIN(TestDistributionWindow)
#include "test_distribution_window.moc"
