#pragma once

class QAction;
class frmMain;

// The main window's menu bar: every command of the program under File, Edit, Data and
// Analyses, each menu and item with its mnemonic, Undo on Ctrl+Z, and F10 opening the File menu.
// The items whose state changes are handed back.
struct MainMenuBar {
    QAction* mnuUndo;
    QAction* mnuCopyResultForPaper;
    QAction* mnuBootstrapDistributions;

    static MainMenuBar build(frmMain* window);
};
