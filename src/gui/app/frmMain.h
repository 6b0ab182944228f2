#pragma once

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "gui/app/ExitFlow.h"
#include "gui/app/MainWindowLayout.h"
#include "gui/platform/RememberedFolder.h"

class QAction;
class QSettings;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class DriveListBox;
class DirectoryListBox;
class FileListBox;
class FileListChain;
class OutputPane;
class AnalysisWindows;
class ImportWorkflow;

// What the main window asks of the desktop, given at construction so tests can stand in.
struct frmMainServices {
    // Asks for a data file (parent, starting folder, filter); empty when the user cancels.
    // None: the desktop's standard file dialog.
    std::function<QString(QWidget*, const QString&, const QString&)> chooseDataFile;
    // Where the folders last used for imports, for output and for pictures, and the file type of
    // the browser, are remembered between runs; none: nowhere.
    std::shared_ptr<QSettings> settings;
    // Called between the two passes of every import with the file's path; none: nothing.
    std::function<void(const std::string&)> betweenImportPasses;
};

// The main window: the file browser, the delimiter choice, the import button and the output
// pane, with the menu bar that carries every command of the program.
class frmMain : public QMainWindow {
    Q_OBJECT
    // Before m_lngUnloadProgram, which shows its state.
    ExitFlow m_exit{this};

  public:
    explicit frmMain(QWidget* parent = nullptr, frmMainServices services = {});
    ~frmMain() override;

    // Start-up: the splash for `splashWait` while events run, then the file types, then the
    // window is shown.
    void Form_Load(std::chrono::milliseconds splashWait = std::chrono::milliseconds(2000));

    // Full path of the data file last clicked in the file list; empty until one is clicked.
    QString m_strFileName;
    // 1 once the user has confirmed exit; until then the window refuses to close.
    UnloadFlag m_lngUnloadProgram{m_exit};

    OutputPane* outputPane() const { return txtOutput; }
    AnalysisWindows* analysisWindows() const { return m_analysisWindows.get(); }
    // The outer size of the window in twips, frame and menu bar included.
    QSize outerSizeTwips() const;

    // Event handlers, public so that the menus, buttons and tests reach the same code.
    void cmbFileType_Click();
    void filFile_Click(const QString& name);
    void showAllDataFiles();
    void cmdImportData_Click();
    // "Import Data File...": a file chosen in the desktop's file dialog is imported.
    void mnuImportDataFile_Click();
    // Moves the three lists to the file's folder, selects it and imports it as whatever format
    // it is detected to be, as the file dialog and a file dropped on the window do.
    void importFile(const QString& path);
    // `corvane FILE`, as a file manager starts the program: the file is imported once the
    // event loop runs. Other arguments are left alone.
    void importAtStart(const QStringList& arguments);
    void mnuOpenOutput_Click();
    void mnuSaveOutput_Click();
    void mnuExit_Click();
    void mnuUndo_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuClearOutput_Click();
    void mnuCopyResultForPaper_Click();
    void mnuNavigateDataFile_Click();
    void mnuDataTable_Click();
    void mnuDescriptives_Click();
    void mnuCorvane_Click();
    void mnuBootstrapDistributions_Click();

  signals:
    // The window has closed for good: the program ends with every other window.
    void programEnded();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildControls();
    void buildSelectData(QWidget* client);
    void buildOutput(QWidget* client);
    void connectControls();
    void buildMenus();
    void applyLayout();
    // The import of m_strFileName with the chosen delimiter.
    void importSelected();
    // After a successful import: the label names the file just read, the windows let go.
    void afterImport(const QString& file);
    // Open Output and Clear Output ask before they replace output that was not saved.
    bool mayReplaceOutput();

    QGroupBox* fraSelectData = nullptr;
    QGroupBox* fraTypeOfDelimiter = nullptr;
    QRadioButton* optSpace = nullptr;
    QRadioButton* optComma = nullptr;
    QRadioButton* optTab = nullptr;
    DriveListBox* drvDrive = nullptr;
    DirectoryListBox* dirDirectory = nullptr;
    QComboBox* cmbFileType = nullptr;
    FileListBox* filFile = nullptr;
    FileListChain* m_chain = nullptr;
    QLabel* lblSelectedFileLabel = nullptr;
    QLabel* lblSelectedFile = nullptr;
    QLabel* lblCurrentFileLabel = nullptr;
    QLabel* lblCurrentFile = nullptr;
    QPushButton* cmdImportData = nullptr;
    QGroupBox* fraOutput = nullptr;
    OutputPane* txtOutput = nullptr;
    QAction* mnuBootstrapDistributions = nullptr;
    QAction* mnuCopyResultForPaper = nullptr;

    std::unique_ptr<AnalysisWindows> m_analysisWindows;
    frmMainServices m_services;
    RememberedFolder m_lastOutputFolder;
    ImportWorkflow* m_import = nullptr;
};
