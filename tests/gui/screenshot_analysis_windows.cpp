// Pictures the effect-size window, the descriptives window and the navigator with a data set
// loaded and choices made, and the main window with their reports in the pane; then the
// effect-size window over a study with long names, at its first size and made larger. Writes
// PNGs into the directory given as the first argument (screenshots/ by default).
#include <QtCore/qtestsupport_core.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

#include "NextModal.h"
#include "StudyFile.h"
#include "gui/analysis/frmCorvane.h"
#include "gui/analysis/frmDescriptives.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/app/frmMain.h"
#include "gui/data/frmNavigate.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"

namespace {

QString g_outDir;
int g_written = 0;

void save(QWidget& w, const char* name) {
    QApplication::processEvents();
    const QString path = QDir(g_outDir).filePath(QString::fromLatin1(name) + ".png");
    if (w.grab().save(path)) {
        ++g_written;
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    }
}

void tick(QListWidget* list, int row) { list->item(row)->setCheckState(Qt::Checked); }

void trigger(frmMain& window, const char* item) {
    if (QAction* a = window.findChild<QAction*>(QString::fromLatin1(item))) a->trigger();
}

// The effect-size window over a study with long names: cut in the middle at its first size,
// whole once the window is made larger.
void pictureLongNames(frmMain& window, const QTemporaryDir& data) {
    const QString study = data.filePath(QStringLiteral("study.txt"));
    if (!WriteStudyFile(study)) return;
    // The pane holds reports never saved: the import asks first and is told not to save them.
    MessageService::queueAnswer(MessageService::Answer::No);
    window.importFile(study);
    MessageService::clearShown();
    WhenModalUp([](QWidget& shown) {
        auto& w = static_cast<frmCorvane&>(shown);
        tick(w.lstDV, 2);
        tick(w.lstGV, 1);
        w.cmdGroup1Values->menu()->actions().at(0)->trigger();
        w.cmdGroup2Values->menu()->actions().at(1)->trigger();
        w.optGroup2->setChecked(true);
        save(w, "frmCorvane-long-names");
        w.resize(w.width() * 9 / 5, w.height() * 4 / 3);
        save(w, "frmCorvane-large");
        w.cmdCancel->click();
    });
    trigger(window, "mnuCorvane");
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    g_outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_outDir);
    MessageService::startScripting();  // a box would only mean a failed picture

    QTemporaryDir data;
    {
        QFile f(data.filePath(QStringLiteral("scores.txt")));
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write(
            "1 12.5 3\r\n2 9.25 4\r\n1 14 2\r\n2 11 .\r\n1 13.75 5\r\n2 10.5 1\r\n"
            "1 15 2\r\n2 8 6\r\n1 11 4\r\n2 12 3\r\n");
    }

    frmMain window;
    window.Form_Load(std::chrono::milliseconds(0));
    window.findChild<DirectoryListBox*>(QStringLiteral("dirDirectory"))->setPath(data.path());
    auto* files = window.findChild<FileListBox*>(QStringLiteral("filFile"));
    files->refresh();
    files->clickFile(QStringLiteral("scores.txt"));
    window.findChild<QPushButton*>(QStringLiteral("cmdImportData"))->click();

    WhenModalUp([](QWidget& shown) {
        auto& w = static_cast<frmCorvane&>(shown);
        tick(w.lstDV, 1);
        tick(w.lstGV, 0);
        w.txtGroup1->setText(QStringLiteral("1"));
        w.txtGroup2->setText(QStringLiteral("2"));
        w.trialButton(1000)->setChecked(true);
        w.opt90CI->setChecked(true);
        save(w, "frmCorvane-chosen");
        w.cmdOK->click();
        (void)QTest::qWaitFor([&w] { return !w.isRunning(); }, 30000);
        if (w.isVisible()) w.hide();
    });
    trigger(window, "mnuCorvane");
    WhenModalUp([](QWidget& shown) {
        save(shown, "frmCorvane-after-report");  // the last trial number stays
        static_cast<frmCorvane&>(shown).cmdCancel->click();
    });
    trigger(window, "mnuCorvane");

    WhenModalUp([](QWidget& shown) {
        auto& w = static_cast<frmDescriptives&>(shown);
        tick(w.lstItems, 0);
        tick(w.lstItems, 2);  // range mode: Var 1 to Var 3
        save(w, "frmDescriptives-chosen");
        w.cmdOK->click();
        if (w.isVisible()) w.hide();
    });
    trigger(window, "mnuDescriptives");

    WhenModalUp([](QWidget& shown) {
        auto& w = static_cast<frmNavigate&>(shown);
        save(w, "frmNavigate-first-cell");
        w.cmdDown->click();
        w.cmdDown->click();
        w.cmdDown->click();
        w.cmdRight->click();
        w.cmdRight->click();
        save(w, "frmNavigate-missing-cell");
        w.close();
    });
    trigger(window, "mnuNavigateDataFile");

    save(window, "frmMain-reports");

    // Clear Output asks first about the reports never saved, and is told not to save them.
    MessageService::queueAnswer(MessageService::Answer::No);
    window.findChild<QAction*>(QStringLiteral("mnuClearOutput"))->trigger();
    MessageService::clearShown();
    // An SPSS file, its groups chosen by their labels.
    window.importFile(QStringLiteral(CORVANE_TEST_DATA "/written-by/groups.sav"));
    WhenModalUp([](QWidget& shown) {
        auto& w = static_cast<frmCorvane&>(shown);
        tick(w.lstDV, 1);
        tick(w.lstGV, 0);
        w.txtGroup1->setText(QStringLiteral("control"));
        w.txtGroup2->setText(QStringLiteral("treatment"));
        w.txtSeed->setText(QStringLiteral("2026"));
        w.cmdOK->click();
        (void)QTest::qWaitFor([&w] { return !w.isRunning(); }, 30000);
        if (w.isVisible()) w.hide();
    });
    trigger(window, "mnuCorvane");
    window.resize(window.width(), 1040);  // tall enough for the summary and the whole report
    save(window, "frmMain-spss-report");

    pictureLongNames(window, data);
    for (const auto& box : MessageService::shown())
        std::fprintf(stderr, "message: %s / %s\n", qPrintable(box.title), qPrintable(box.text));

    window.m_lngUnloadProgram = 1;
    window.close();
    std::printf("%d pictures\n", g_written);
    return g_written == 9 && MessageService::shown().isEmpty() ? 0 : 1;
}
