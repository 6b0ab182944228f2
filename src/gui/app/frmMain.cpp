#include "gui/app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "common/Messages.h"
#include "data/import/ImportDataFile.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/app/DataFileTypes.h"
#include "gui/app/ImportWorkflow.h"
#include "gui/app/MainMenuBar.h"
#include "gui/app/MainWindowControls.h"
#include "gui/app/SaveQuestion.h"
#include "gui/app/frmSplash.h"
#include "gui/output/OutputPane.h"
#include "gui/output/frmOpenOutput.h"
#include "gui/output/frmSaveOutput.h"
#include "gui/platform/Clipboard.h"
#include "gui/platform/FieldColours.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/Twips.h"

namespace {

QRect pixels(const QRect& twips) {
    return Twips::toPixels(twips.left(), twips.top(), twips.width(), twips.height());
}

// The smallest outer height in pixels that is at least `twips` high.
int atLeastPixelsY(int twips) {
    int px = Twips::toPixelsY(twips);
    while (Twips::fromPixelsY(px) < twips) ++px;
    while (px > 0 && Twips::fromPixelsY(px - 1) >= twips) --px;
    return px;
}

}  // namespace

namespace {

// An import that runs out of memory says so in the import's own words.
const GuardTexts kImportGuard{corvane::msg::NotEnoughMemory};

const QString kFileTypeSetting = QStringLiteral("browser/fileType");

RememberedFolder LastOutputFolder(const std::shared_ptr<QSettings>& settings) {
    return RememberedFolder(settings, QStringLiteral("output/lastFolder"));
}

// The one local file of a drag, or nothing.
QString DroppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) return {};
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile()) return {};
    const QFileInfo info(url.toLocalFile());
    return info.isFile() ? info.absoluteFilePath() : QString();
}

}  // namespace

frmMain::frmMain(QWidget* parent, frmMainServices services)
    : QMainWindow(parent),
      m_exit(this, LastOutputFolder(services.settings)),
      m_services(std::move(services)),
      m_lastOutputFolder(LastOutputFolder(m_services.settings)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Corvane 2"));
    setFont(MainWindowControls::WindowFont(font(), style()));
    setAcceptDrops(true);
    buildControls();
    buildMenus();
    m_analysisWindows = std::make_unique<AnalysisWindows>(
        this, txtOutput,
        RememberedFolder(m_services.settings, QStringLiteral("pictures/lastFolder")));
    // Enabled while there is an effect-size run of the current data to picture.
    m_analysisWindows->distributions().setAvailabilityListener(
        [item = mnuBootstrapDistributions](bool available) { item->setEnabled(available); });
    m_analysisWindows->setPaperSentenceListener(
        [item = mnuCopyResultForPaper](bool available) { item->setEnabled(available); });
    m_import =
        new ImportWorkflow(this, txtOutput, m_services.settings, m_services.betweenImportPasses);
    connect(m_import, &ImportWorkflow::dataSetReplaced, this,
            [this](const QString& file) { afterImport(file); });
    // The lists start in the folder of the last import, while it is there.
    const QString folder = m_import->lastFolder();
    if (!folder.isEmpty() && dirDirectory->setPath(folder)) drvDrive->showDriveOf(folder);

    // The design size of the client area, with the menu bar above it.
    resize(Twips::toPixelsX(11880), Twips::toPixelsY(8610) + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);
    buildSelectData(client);
    buildOutput(client);
    // The drive, directory and file lists follow one another; the lists start at the
    // process's current directory.
    m_chain = new FileListChain(drvDrive, dirDirectory, filFile);
    connectControls();
}

void frmMain::buildSelectData(QWidget* client) {
    using MainWindowControls::Make;
    fraSelectData = new QGroupBox(QStringLiteral("Select Data"), client);
    fraSelectData->setObjectName(QStringLiteral("fraSelectData"));
    MainWindowControls::SetBold(fraSelectData, true);

    fraTypeOfDelimiter = Make<QGroupBox>(fraSelectData, "fraTypeOfDelimiter");
    optSpace = Make<QRadioButton>(fraTypeOfDelimiter, "optSpace");
    optComma = Make<QRadioButton>(fraTypeOfDelimiter, "optComma");
    optTab = Make<QRadioButton>(fraTypeOfDelimiter, "optTab");
    optSpace->setChecked(true);

    drvDrive = Make<DriveListBox>(fraSelectData, "drvDrive");
    dirDirectory = Make<DirectoryListBox>(fraSelectData, "dirDirectory");
    cmbFileType = Make<QComboBox>(fraSelectData, "cmbFileType");
    filFile = Make<FileListBox>(fraSelectData, "filFile");

    // The two file names sit in bordered boxes like read-only fields, shown as plain text.
    lblSelectedFileLabel = Make<QLabel>(fraSelectData, "lblSelectedFileLabel");
    lblSelectedFile = Make<QLabel>(fraSelectData, "lblSelectedFile");
    FieldColours::makeField(lblSelectedFile);
    lblCurrentFileLabel = Make<QLabel>(fraSelectData, "lblCurrentFileLabel");
    lblCurrentFile = Make<QLabel>(fraSelectData, "lblCurrentFile");
    FieldColours::makeField(lblCurrentFile);

    cmdImportData = Make<QPushButton>(fraSelectData, "cmdImportData");
}

void frmMain::buildOutput(QWidget* client) {
    fraOutput = new QGroupBox(QStringLiteral("Output"), client);
    fraOutput->setObjectName(QStringLiteral("fraOutput"));
    MainWindowControls::SetBold(fraOutput, true);

    txtOutput = new OutputPane(fraOutput);
    txtOutput->setObjectName(QStringLiteral("txtOutput"));
    // The pane keeps its own fixed-pitch face, neither bold nor condensed like the window.
    QFont pane = txtOutput->font();
    pane.setBold(false);
    pane.setStretch(QFont::Unstretched);
    txtOutput->setFont(pane);
}

void frmMain::connectControls() {
    connect(cmbFileType, &QComboBox::activated, this, [this](int) { cmbFileType_Click(); });
    connect(filFile, &FileListBox::fileClicked, this,
            [this](const QString& name) { filFile_Click(name); });
    // A double click or Enter on a file imports it, as the button would.
    connect(filFile, &FileListBox::fileChosen, this, [this](const QString& name) {
        filFile_Click(name);
        cmdImportData_Click();
    });
    connect(cmdImportData, &QPushButton::clicked, this, [this] { cmdImportData_Click(); });

    QWidget* const order[] = {dirDirectory, filFile,  drvDrive, cmdImportData, txtOutput,
                              optSpace,     optComma, optTab,   cmbFileType};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void frmMain::buildMenus() {
    const MainMenuBar bar = MainMenuBar::build(this);
    mnuBootstrapDistributions = bar.mnuBootstrapDistributions;
    mnuCopyResultForPaper = bar.mnuCopyResultForPaper;
    bar.mnuUndo->setEnabled(false);
    connect(txtOutput, &QPlainTextEdit::undoAvailable, bar.mnuUndo, &QAction::setEnabled);
}

void frmMain::Form_Load(std::chrono::milliseconds splashWait) {
    filFile->setPattern(QStringLiteral("*.txt"));
    frmSplash::runStartup(splashWait);
    cmbFileType->clear();
    for (const corvane::FileType& type : DataFileTypes())
        cmbFileType->addItem(DataFileTypeText(type));
    // The file type chosen in the last run, while the list still has it.
    const int chosen =
        m_services.settings
            ? cmbFileType->findText(m_services.settings->value(kFileTypeSetting).toString())
            : -1;
    cmbFileType->setCurrentIndex(chosen >= 0 ? chosen : 0);
    cmbFileType_Click();
    // The first control in the focus order holds the focus when the window comes up.
    dirDirectory->setFocus();
    show();
}

QSize frmMain::outerSizeTwips() const {
    const QSize extra = frameGeometry().size() - geometry().size();
    return {Twips::fromPixelsX(width() + extra.width()),
            Twips::fromPixelsY(height() + extra.height())};
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    applyLayout();
}

void frmMain::applyLayout() {
    if (isMinimized()) return;
    const int extraHeight = frameGeometry().height() - geometry().height();
    const int minimumHeight = atLeastPixelsY(MainWindowLayout::kMinimumHeight) - extraHeight;
    // The window system keeps the window from getting lower; should a resize get through all
    // the same, it is snapped back and the layout runs again from that resize.
    if (minimumHeight > 0 && minimumHeight != minimumSize().height())
        setMinimumHeight(minimumHeight);
    if (height() < minimumHeight) {
        resize(width(), minimumHeight);
        return;
    }
    const QSize outer = outerSizeTwips();
    const MainWindowLayout l = MainWindowLayout::forWindow(outer.width(), outer.height());
    fraSelectData->setGeometry(pixels(l.fraSelectData));
    fraOutput->setGeometry(pixels(l.fraOutput));
    txtOutput->setGeometry(pixels(l.txtOutput));
}

void frmMain::cmbFileType_Click() {
    Guarded(this, corvane::msg::kTitleProgram, [this] {
        const int entry = cmbFileType->currentIndex();
        const std::vector<corvane::FileType> types = DataFileTypes();
        if (entry < 0 || static_cast<std::size_t>(entry) >= types.size()) return;
        m_chain->setPattern(DataFileTypePattern(types[static_cast<std::size_t>(entry)]));
        if (m_services.settings)
            m_services.settings->setValue(kFileTypeSetting, cmbFileType->currentText());
    });
}

void frmMain::showAllDataFiles() {
    cmbFileType->setCurrentIndex(static_cast<int>(kAllDataFiles));
    cmbFileType_Click();
}

void frmMain::filFile_Click(const QString& name) {
    Guarded(this, corvane::msg::kTitleProgram, [this, &name] {
        m_strFileName = FileSystemPaths::joinPath(filFile->path(), name);
        lblSelectedFile->setText(name);
    });
}

void frmMain::cmdImportData_Click() {
    Guarded(
        this, "Import Selected Data File", [this] { importSelected(); }, kImportGuard);
}

void frmMain::mnuImportDataFile_Click() {
    Guarded(
        this, "Import Data File",
        [this] {
            const QString folder = dirDirectory->path();
            const QString filter = DataFileDialogFilter() + QStringLiteral(";;All files (*)");
            const QString path =
                m_services.chooseDataFile
                    ? m_services.chooseDataFile(this, folder, filter)
                    : QFileDialog::getOpenFileName(this, QStringLiteral("Import Data File"), folder,
                                                   filter);
            if (!path.isEmpty()) importFile(path);
        },
        kImportGuard);
}

void frmMain::importAtStart(const QStringList& arguments) {
    if (arguments.size() < 2 || arguments.at(1).isEmpty()) return;
    QTimer::singleShot(0, this, [this, file = arguments.at(1)] { importFile(file); });
}

void frmMain::importFile(const QString& path) {
    Guarded(
        this, "Import Data File",
        [this, &path] {
            const QFileInfo info(path);
            // The lists move to the file first, as if the user had browsed there and clicked it.
            if (dirDirectory->setPath(info.absolutePath()))
                drvDrive->showDriveOf(info.absolutePath());
            // ... and it stands selected there: where the chosen file type hides it, the list
            // turns to all data files.
            if (!filFile->fileNames().contains(info.fileName())) showAllDataFiles();
            filFile->clickFile(info.fileName());
            m_strFileName = info.absoluteFilePath();
            lblSelectedFile->setText(info.fileName());
            m_import->import(m_strFileName, corvane::kDetectFormat);
            m_analysisWindows->followDataSet();
        },
        kImportGuard);
}

// While a modal window is open (an analysis may be reading the data set on its own thread) a
// dropped file is refused rather than imported underneath it.
void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (QApplication::activeModalWidget() != nullptr) return;
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
    if (QApplication::activeModalWidget() != nullptr) return;
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    importFile(path);
}

void frmMain::importSelected() {
    const char delimiter = optSpace->isChecked() ? ' ' : optComma->isChecked() ? ',' : '\t';
    m_import->import(m_strFileName, delimiter);
    // Even an import without a file changes what the data set reads as.
    m_analysisWindows->followDataSet();
}

void frmMain::afterImport(const QString& file) {
    // The label names the file just read, even when the file list has moved on since.
    lblCurrentFile->setText(QFileInfo(file).fileName());
    m_analysisWindows->discardAnalysisWindows();
}

bool frmMain::mayReplaceOutput() {
    return SaveQuestion(this, txtOutput, m_lastOutputFolder).mayReplaceOutput();
}

void frmMain::mnuOpenOutput_Click() {
    Guarded(this, "Open Output", [this] {
        if (mayReplaceOutput()) frmOpenOutput::showModal(txtOutput, this, m_lastOutputFolder);
    });
}

void frmMain::mnuSaveOutput_Click() {
    Guarded(this, "Save Output",
            [this] { frmSaveOutput::showModal(txtOutput, this, m_lastOutputFolder); });
}

void frmMain::mnuUndo_Click() {
    Guarded(this, "Undo", [this] { txtOutput->undo(); });
}

void frmMain::mnuCut_Click() {
    Guarded(this, "Cut", [this] { txtOutput->editCut(); });
}

void frmMain::mnuCopy_Click() {
    Guarded(this, "Copy", [this] { txtOutput->editCopy(); });
}

void frmMain::mnuPaste_Click() {
    Guarded(this, "Paste", [this] { txtOutput->editPaste(); });
}

void frmMain::mnuClearOutput_Click() {
    Guarded(this, "Clear Output", [this] {
        if (mayReplaceOutput()) txtOutput->clearOutput();
    });
}

void frmMain::mnuCopyResultForPaper_Click() {
    Guarded(this, "Copy Result for a Paper", [this] {
        const std::string& sentence = m_analysisWindows->paperSentence();
        if (!sentence.empty()) Clipboard::setText(QString::fromStdString(sentence));
    });
}

void frmMain::mnuNavigateDataFile_Click() {
    Guarded(this, "Navigate Data File", [this] { m_analysisWindows->showNavigate(); });
}

void frmMain::mnuDataTable_Click() {
    Guarded(this, "Data Table", [this] { m_analysisWindows->showDataTable(); });
}

void frmMain::mnuDescriptives_Click() {
    Guarded(this, "Descriptives", [this] { m_analysisWindows->showDescriptives(); });
}

void frmMain::mnuCorvane_Click() {
    Guarded(this, "Corvane", [this] { m_analysisWindows->showCorvane(); });
}

void frmMain::mnuBootstrapDistributions_Click() {
    Guarded(this, "Bootstrap Distributions", [this] { m_analysisWindows->distributions().show(); });
}

void frmMain::mnuExit_Click() {
    Guarded(this, "Exit", [this] {
        if (m_exit.confirm(txtOutput)) close();
    });
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!m_exit.mayClose(txtOutput)) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_exit.endOnce()) return;
    // No window of the program outlives the main window, hidden ones included.
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->isWindow() && w->isVisible()) w->close();
    }
    emit programEnded();
}
