#include "gui/app/MainMenuBar.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "gui/app/frmMain.h"

namespace {

QAction* addMenuItem(frmMain* window, QMenu* menu, const char* name, const char* caption,
                     void (frmMain::*handler)()) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromUtf8(name));
    QObject::connect(a, &QAction::triggered, window, [window, handler] { (window->*handler)(); });
    return a;
}

}  // namespace

MainMenuBar MainMenuBar::build(frmMain* window) {
    QMenuBar* bar = window->menuBar();
    MainMenuBar made{};
    QMenu* mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    addMenuItem(window, mnuFile, "mnuImportDataFile", "&Import Data File...",
                &frmMain::mnuImportDataFile_Click);
    addMenuItem(window, mnuFile, "mnuOpenOutput", "&Open Output", &frmMain::mnuOpenOutput_Click);
    addMenuItem(window, mnuFile, "mnuSaveOutput", "&Save Output", &frmMain::mnuSaveOutput_Click);
    addMenuItem(window, mnuFile, "mnuExit", "E&xit", &frmMain::mnuExit_Click);

    QMenu* mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    made.mnuUndo = addMenuItem(window, mnuEdit, "mnuUndo", "&Undo", &frmMain::mnuUndo_Click);
    made.mnuUndo->setShortcut(QKeySequence::Undo);
    addMenuItem(window, mnuEdit, "mnuCut", "Cu&t", &frmMain::mnuCut_Click);
    addMenuItem(window, mnuEdit, "mnuCopy", "&Copy", &frmMain::mnuCopy_Click);
    addMenuItem(window, mnuEdit, "mnuPaste", "&Paste", &frmMain::mnuPaste_Click);
    addMenuItem(window, mnuEdit, "mnuClearOutput", "C&lear Output", &frmMain::mnuClearOutput_Click);
    made.mnuCopyResultForPaper =
        addMenuItem(window, mnuEdit, "mnuCopyResultForPaper", "Copy &Result for a Paper",
                    &frmMain::mnuCopyResultForPaper_Click);

    QMenu* mnuData = bar->addMenu(QStringLiteral("&Data"));
    mnuData->setObjectName(QStringLiteral("mnuData"));
    addMenuItem(window, mnuData, "mnuNavigateDataFile", "&Navigate Data File",
                &frmMain::mnuNavigateDataFile_Click);
    addMenuItem(window, mnuData, "mnuDataTable", "Data &Table", &frmMain::mnuDataTable_Click);

    QMenu* mnuAnalyses = bar->addMenu(QStringLiteral("&Analyses"));
    mnuAnalyses->setObjectName(QStringLiteral("mnuAnalyses"));
    addMenuItem(window, mnuAnalyses, "mnuDescriptives", "&Descriptives",
                &frmMain::mnuDescriptives_Click);
    addMenuItem(window, mnuAnalyses, "mnuCorvane", "&Corvane", &frmMain::mnuCorvane_Click);
    made.mnuBootstrapDistributions =
        addMenuItem(window, mnuAnalyses, "mnuBootstrapDistributions", "&Bootstrap Distributions",
                    &frmMain::mnuBootstrapDistributions_Click);

    // F10 opens the menu bar at its first menu, as on most desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
    QObject::connect(f10, &QShortcut::activated, bar,
                     [bar, mnuFile] { bar->setActiveAction(mnuFile->menuAction()); });
    return made;
}
