// Pictures the bootstrap distributions window after an effect-size run on the shipped example
// file (2000 trials, a fixed seed). Writes frmBootstrapDistributions.png into the directory
// given as the first argument (screenshots/ by default). A second and third argument picture
// another file (group codes 1 and 2 in its first column, the values in its second) and seed.
#include <QtCore/qtestsupport_core.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <cstdlib>

#include "gui/analysis/frmBootstrapDistributions.h"
#include "gui/analysis/frmCorvane.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/app/frmMain.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString outDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(outDir);
    MessageService::startScripting();

    frmMain window;
    window.Form_Load(std::chrono::milliseconds(0));
    const QFileInfo example(argc > 2 ? QString::fromLocal8Bit(argv[2])
                                     : QStringLiteral(CORVANE_EXAMPLES "/example.txt"));
    const std::uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 2026;
    window.findChild<DirectoryListBox*>(QStringLiteral("dirDirectory"))->setPath(example.path());
    auto* files = window.findChild<FileListBox*>(QStringLiteral("filFile"));
    files->refresh();
    files->clickFile(example.fileName());
    window.findChild<QPushButton*>(QStringLiteral("cmdImportData"))->click();

    frmCorvane* w = window.analysisWindows()->corvaneInstance();
    w->setSeedSource([seed] { return seed; });
    w->lstDV->item(1)->setCheckState(Qt::Checked);
    w->lstGV->item(0)->setCheckState(Qt::Checked);
    w->txtGroup1->setText(QStringLiteral("1"));
    w->txtGroup2->setText(QStringLiteral("2"));
    w->trialButton(2000)->setChecked(true);
    w->cmdOK->click();
    (void)QTest::qWaitFor([w] { return !w->isRunning(); }, 30000);
    if (QAction* a = window.findChild<QAction*>(QStringLiteral("mnuBootstrapDistributions"))) {
        a->trigger();
    }
    frmBootstrapDistributions* shown = window.analysisWindows()->distributions().shownWindow();
    int written = 0;
    if (shown != nullptr) {
        QApplication::processEvents();
        const QString path = QDir(outDir).filePath(QStringLiteral("frmBootstrapDistributions.png"));
        if (shown->grab().save(path)) {
            ++written;
            std::printf("%s\n", qPrintable(path));
        }
    }
    for (const auto& box : MessageService::shown())
        std::fprintf(stderr, "message: %s / %s\n", qPrintable(box.title), qPrintable(box.text));
    window.m_lngUnloadProgram = 1;
    window.close();
    return written == 1 && MessageService::shown().isEmpty() ? 0 : 1;
}
