// Pictures the bootstrap distributions window after an effect-size run on the shipped example
// file (2000 trials, a fixed seed), then saves the picture of a run over a study with long names
// (StudyFile.h) as Save Picture writes it. Writes frmBootstrapDistributions.png and
// bootstrap-distributions.png into the directory given as the first argument (screenshots/ by
// default). A second and third argument picture another file (group codes in its first column,
// the values in its second) and seed in the window.
#include <QtCore/qtestsupport_core.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>

#include "StudyFile.h"
#include "gui/analysis/frmBootstrapDistributions.h"
#include "gui/analysis/frmCorvane.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/app/frmMain.h"
#include "gui/platform/MessageService.h"

namespace {

// Imports `file` and runs 2000 trials on the variable after `groups` by the one at `groups`
// (from 0), with the first two values the grouping variable holds picked as a user picks them;
// then shows the distributions.
frmBootstrapDistributions* RunAndShow(frmMain& window, const QString& file, int groups,
                                      std::uint64_t seed) {
    window.importFile(file);
    frmCorvane* w = window.analysisWindows()->corvaneInstance();
    if (w->lstGV->count() < groups + 2) return nullptr;
    w->setSeedSource([seed] { return seed; });
    w->lstDV->item(groups + 1)->setCheckState(Qt::Checked);
    w->lstGV->item(groups)->setCheckState(Qt::Checked);
    w->cmdGroup1Values->menu()->actions().at(0)->trigger();
    w->cmdGroup2Values->menu()->actions().at(1)->trigger();
    w->trialButton(2000)->setChecked(true);
    w->cmdOK->click();
    (void)QTest::qWaitFor([w] { return !w->isRunning(); }, 30000);
    if (QAction* a = window.findChild<QAction*>(QStringLiteral("mnuBootstrapDistributions"))) {
        a->trigger();
    }
    QApplication::processEvents();
    return window.analysisWindows()->distributions().shownWindow();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QDir outDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    QDir().mkpath(outDir.path());
    MessageService::startScripting();

    frmMain window;
    window.Form_Load(std::chrono::milliseconds(0));
    const QString example = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                     : QStringLiteral(CORVANE_EXAMPLES "/example.txt");
    const std::uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 2026;
    int written = 0;
    if (frmBootstrapDistributions* shown = RunAndShow(window, example, 0, seed)) {
        const QString path = outDir.filePath(QStringLiteral("frmBootstrapDistributions.png"));
        if (shown->grab().save(path)) {
            ++written;
            std::printf("%s\n", qPrintable(path));
        }
    }
    QTemporaryDir temp;
    const QString study = temp.filePath(QStringLiteral("study.txt"));
    // The pane holds a report never saved: the import asks first and is told not to save it.
    MessageService::queueAnswer(MessageService::Answer::No);
    frmBootstrapDistributions* shown =
        WriteStudyFile(study) ? RunAndShow(window, study, 1, seed) : nullptr;
    MessageService::clearShown();
    if (shown != nullptr) {
        shown->show();
        QApplication::processEvents();
        const QString path = outDir.filePath(QStringLiteral("bootstrap-distributions.png"));
        if (shown->savePicture(path).isEmpty()) {
            ++written;
            std::printf("%s\n", qPrintable(path));
        }
    }
    for (const auto& box : MessageService::shown())
        std::fprintf(stderr, "message: %s / %s\n", qPrintable(box.title), qPrintable(box.text));
    window.m_lngUnloadProgram = 1;
    window.close();
    return written == 2 && MessageService::shown().isEmpty() ? 0 : 1;
}
