#include "app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
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
#include <QStyle>
#include <QUrl>
#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "app/AnalysisWindows.h"
#include "app/frmSplash.h"
#include "common/Messages.h"
#include "data/formats/ImportDataFile.h"
#include "data/formats/ImportSummary.h"
#include "data/modGeneral.h"
#include "output/ui/OutputPane.h"
#include "output/ui/frmOpenOutput.h"
#include "output/ui/frmSaveOutput.h"
#include "platform/Clipboard.h"
#include "platform/FieldColours.h"
#include "platform/FileSystemLists.h"
#include "platform/FixedLayout.h"
#include "platform/Guarded.h"
#include "platform/MessageService.h"
#include "platform/StringConversions.h"
#include "platform/Twips.h"

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

void captionBold(QWidget* frame) {
    QFont f = frame->font();
    f.setBold(true);
    frame->setFont(f);
}

// Frame captions are bold; what sits inside keeps the window's regular weight.
void unbold(QWidget* w) {
    QFont f = w->font();
    f.setBold(false);
    w->setFont(f);
}

// The fixed places were drawn for a narrow 8 pt dialog font; every fixed caption of the window
// must fit its box.
QFont fittingWindowFont(const QFont& base, const QStyle* style) {
    const CaptionExtras extra = CaptionExtras::of(style);
    struct Caption {
        const char* text;
        int widthTwips;
        int extra;
    };
    const Caption captions[] = {
        {"Space Delimited", 1455, extra.radio},
        {"Comma Delimited", 1575, extra.radio},
        {"Tab Delimited", 1335, extra.radio},
        {"Type of Delimiter", 1815, extra.frame},
        {"Selected File:", 1332, 0},
        {"File Currently in Processor:", 2055, 0},
        {"Import Selected Data File", 2055, extra.button},
    };
    return FittingFont(base, [&captions](const QFontMetrics& m) {
        for (const Caption& c : captions) {
            if (m.horizontalAdvance(QString::fromUtf8(c.text)) + c.extra >
                Twips::toPixelsX(c.widthTwips))
                return false;
        }
        return true;
    });
}

}  // namespace

MainWindowLayout MainWindowLayout::forWindow(int windowWidth, int windowHeight) {
    MainWindowLayout l;
    const int selectLeft = 100;
    const int selectTop = 100;
    const int selectWidth = std::max(windowWidth - selectLeft - 200, kMinimumFrameWidth);
    const int selectHeight = 2220;
    l.fraSelectData = QRect(selectLeft, selectTop, selectWidth, selectHeight);

    const int outputTop = selectHeight + selectTop + 100;
    const int outputHeight = std::max(windowHeight - outputTop - 1200, 0);
    l.fraOutput = QRect(selectLeft, outputTop, selectWidth, outputHeight);

    const int paneLeft = l.fraOutput.left() + 100;
    const int paneTop = 300;
    const int paneWidth = std::max(l.fraOutput.width() - paneLeft - 200, 0);
    const int paneHeight = std::max(l.fraOutput.height() - paneTop, 0);
    l.txtOutput = QRect(paneLeft, paneTop, paneWidth, paneHeight);
    return l;
}

namespace {

// An import that runs out of memory says so in the import's own words.
const GuardTexts kImportGuard{corvane::msg::NotEnoughMemory};

const QString kLastImportFolder = QStringLiteral("import/lastFolder");

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
    : QMainWindow(parent), m_services(std::move(services)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Corvane 2"));
    setFont(fittingWindowFont(font(), style()));
    setAcceptDrops(true);
    buildControls();
    buildMenus();
    m_analysisWindows = std::make_unique<AnalysisWindows>(this, txtOutput);
    // Enabled while there is an effect-size run of the current data to picture.
    m_analysisWindows->distributions().setAvailabilityListener(
        [item = mnuBootstrapDistributions](bool available) { item->setEnabled(available); });
    // The lists start in the folder of the last import, while it is there.
    if (m_services.settings) {
        const QString folder = m_services.settings->value(kLastImportFolder).toString();
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && dirDirectory->setPath(folder)) {
            drvDrive->showDriveOf(folder);
        }
    }

    // The design size of the client area, with the menu bar above it.
    resize(Twips::toPixelsX(11880), Twips::toPixelsY(8610) + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);

    fraSelectData = new QGroupBox(QStringLiteral("Select Data"), client);
    fraSelectData->setObjectName(QStringLiteral("fraSelectData"));
    captionBold(fraSelectData);

    fraTypeOfDelimiter = new QGroupBox(QStringLiteral("Type of Delimiter"), fraSelectData);
    fraTypeOfDelimiter->setObjectName(QStringLiteral("fraTypeOfDelimiter"));
    fraTypeOfDelimiter->setToolTip(QStringLiteral("Specify the delimiter used"));
    unbold(fraTypeOfDelimiter);
    Twips::place(fraTypeOfDelimiter, 240, 360, 1815, 1695);

    optSpace = new QRadioButton(QStringLiteral("Space Delimited"), fraTypeOfDelimiter);
    optSpace->setObjectName(QStringLiteral("optSpace"));
    Twips::place(optSpace, 120, 240, 1455, 255);
    optComma = new QRadioButton(QStringLiteral("Comma Delimited"), fraTypeOfDelimiter);
    optComma->setObjectName(QStringLiteral("optComma"));
    Twips::place(optComma, 120, 720, 1575, 255);
    optTab = new QRadioButton(QStringLiteral("Tab Delimited"), fraTypeOfDelimiter);
    optTab->setObjectName(QStringLiteral("optTab"));
    Twips::place(optTab, 120, 1200, 1335, 255);
    optSpace->setChecked(true);

    drvDrive = new DriveListBox(fraSelectData);
    drvDrive->setObjectName(QStringLiteral("drvDrive"));
    drvDrive->setToolTip(QStringLiteral("Specify drive of file"));
    unbold(drvDrive);
    Twips::place(drvDrive, 2280, 480, 2415, 315);

    dirDirectory = new DirectoryListBox(fraSelectData);
    dirDirectory->setObjectName(QStringLiteral("dirDirectory"));
    dirDirectory->setToolTip(QStringLiteral("Specify directory of file"));
    unbold(dirDirectory);
    Twips::place(dirDirectory, 2280, 840, 2415, 1215);

    cmbFileType = new QComboBox(fraSelectData);
    cmbFileType->setObjectName(QStringLiteral("cmbFileType"));
    cmbFileType->setToolTip(QStringLiteral("Specify file extension (*.txt or *.dat)"));
    unbold(cmbFileType);
    Twips::place(cmbFileType, 4920, 480, 2295, 315);

    filFile = new FileListBox(fraSelectData);
    filFile->setObjectName(QStringLiteral("filFile"));
    filFile->setToolTip(QStringLiteral("Specify file"));
    unbold(filFile);
    Twips::place(filFile, 4920, 840, 2295, 1065);

    lblSelectedFileLabel = new QLabel(QStringLiteral("Selected File:"), fraSelectData);
    lblSelectedFileLabel->setObjectName(QStringLiteral("lblSelectedFileLabel"));
    unbold(lblSelectedFileLabel);
    Twips::place(lblSelectedFileLabel, 7440, 360, 1332, 240);

    // The two file names sit in bordered boxes like read-only fields, shown as plain text.
    auto fieldLabel = [this](const char* name, const char* tip) {
        auto* l = new QLabel(fraSelectData);
        l->setObjectName(QString::fromUtf8(name));
        l->setToolTip(QString::fromUtf8(tip));
        FieldColours::makeField(l);
        unbold(l);
        return l;
    };
    lblSelectedFile = fieldLabel("lblSelectedFile", "The file selected for import");
    Twips::place(lblSelectedFile, 7440, 600, 2055, 255);

    lblCurrentFileLabel = new QLabel(QStringLiteral("File Currently in Processor:"), fraSelectData);
    lblCurrentFileLabel->setObjectName(QStringLiteral("lblCurrentFileLabel"));
    unbold(lblCurrentFileLabel);
    Twips::place(lblCurrentFileLabel, 7440, 960, 2055, 255);

    lblCurrentFile = fieldLabel("lblCurrentFile", "File currently contained in Halvor processor");
    Twips::place(lblCurrentFile, 7440, 1200, 2055, 255);

    cmdImportData = new QPushButton(QStringLiteral("Import Selected Data File"), fraSelectData);
    cmdImportData->setObjectName(QStringLiteral("cmdImportData"));
    cmdImportData->setToolTip(QStringLiteral("Click to import selected file"));
    unbold(cmdImportData);
    Twips::place(cmdImportData, 7440, 1560, 2055, 495);

    fraOutput = new QGroupBox(QStringLiteral("Output"), client);
    fraOutput->setObjectName(QStringLiteral("fraOutput"));
    captionBold(fraOutput);

    txtOutput = new OutputPane(fraOutput);
    txtOutput->setObjectName(QStringLiteral("txtOutput"));
    {
        // The pane keeps its own fixed-pitch face, neither bold nor condensed like the window.
        QFont pane = txtOutput->font();
        pane.setBold(false);
        pane.setStretch(QFont::Unstretched);
        txtOutput->setFont(pane);
    }

    // The drive, directory and file lists follow one another; the lists start at the
    // process's current directory.
    m_chain = new FileListChain(drvDrive, dirDirectory, filFile);

    connect(cmbFileType, &QComboBox::activated, this, [this](int) { cmbFileType_Click(); });
    connect(filFile, &FileListBox::fileClicked, this,
            [this](const QString& name) { filFile_Click(name); });
    connect(cmdImportData, &QPushButton::clicked, this, [this] { cmdImportData_Click(); });

    setTabOrder(dirDirectory, filFile);
    setTabOrder(filFile, drvDrive);
    setTabOrder(drvDrive, cmdImportData);
    setTabOrder(cmdImportData, txtOutput);
    setTabOrder(txtOutput, optSpace);
    setTabOrder(optSpace, optComma);
    setTabOrder(optComma, optTab);
    setTabOrder(optTab, cmbFileType);
}

QAction* frmMain::addMenuItem(QMenu* menu, const char* name, const QString& caption,
                              void (frmMain::*handler)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromUtf8(name));
    connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return a;
}

void frmMain::buildMenus() {
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    addMenuItem(mnuFile, "mnuImportDataFile", QStringLiteral("Import Data File..."),
                &frmMain::mnuImportDataFile_Click);
    addMenuItem(mnuFile, "mnuOpenOutput", QStringLiteral("Open Output"),
                &frmMain::mnuOpenOutput_Click);
    addMenuItem(mnuFile, "mnuSaveOutput", QStringLiteral("Save Output"),
                &frmMain::mnuSaveOutput_Click);
    addMenuItem(mnuFile, "mnuExit", QStringLiteral("Exit"), &frmMain::mnuExit_Click);

    QMenu* mnuEdit = menuBar()->addMenu(QStringLiteral("Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    addMenuItem(mnuEdit, "mnuCut", QStringLiteral("Cut"), &frmMain::mnuCut_Click);
    addMenuItem(mnuEdit, "mnuCopy", QStringLiteral("Copy"), &frmMain::mnuCopy_Click);
    addMenuItem(mnuEdit, "mnuPaste", QStringLiteral("Paste"), &frmMain::mnuPaste_Click);
    addMenuItem(mnuEdit, "mnuClearOutput", QStringLiteral("Clear Output"),
                &frmMain::mnuClearOutput_Click);

    QMenu* mnuData = menuBar()->addMenu(QStringLiteral("Data"));
    mnuData->setObjectName(QStringLiteral("mnuData"));
    addMenuItem(mnuData, "mnuNavigateDataFile", QStringLiteral("Navigate Data File"),
                &frmMain::mnuNavigateDataFile_Click);

    QMenu* mnuAnalyses = menuBar()->addMenu(QStringLiteral("Analyses"));
    mnuAnalyses->setObjectName(QStringLiteral("mnuAnalyses"));
    addMenuItem(mnuAnalyses, "mnuDescriptives", QStringLiteral("Descriptives"),
                &frmMain::mnuDescriptives_Click);
    addMenuItem(mnuAnalyses, "mnuCorvane", QStringLiteral("Corvane"), &frmMain::mnuCorvane_Click);
    mnuBootstrapDistributions = addMenuItem(mnuAnalyses, "mnuBootstrapDistributions",
                                            QStringLiteral("Bootstrap Distributions"),
                                            &frmMain::mnuBootstrapDistributions_Click);
}

void frmMain::Form_Load(std::chrono::milliseconds splashWait) {
    filFile->setPattern(QStringLiteral("*.txt"));
    frmSplash::runStartup(splashWait);
    cmbFileType->clear();
    cmbFileType->addItem(QStringLiteral("Text (*.txt)"));
    cmbFileType->addItem(QStringLiteral("Data (*.dat)"));
    cmbFileType->setCurrentIndex(0);
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
        if (entry == 0)
            m_chain->setPattern(QStringLiteral("*.txt"));
        else if (entry == 1)
            m_chain->setPattern(QStringLiteral("*.dat"));
    });
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
            const QString filter = cmbFileType->currentText();
            const QString path =
                m_services.chooseDataFile
                    ? m_services.chooseDataFile(this, folder, filter)
                    : QFileDialog::getOpenFileName(this, QStringLiteral("Import Data File"), folder,
                                                   filter);
            if (!path.isEmpty()) importFile(path);
        },
        kImportGuard);
}

void frmMain::importFile(const QString& path) {
    Guarded(
        this, "Import Data File",
        [this, &path] {
            const QFileInfo info(path);
            // The lists move to the file first, as if the user had browsed there and clicked it.
            if (dirDirectory->setPath(info.absolutePath()))
                drvDrive->showDriveOf(info.absolutePath());
            m_strFileName = info.absoluteFilePath();
            lblSelectedFile->setText(info.fileName());
            importSelected();
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

bool frmMain::importSelected() {
    namespace g = corvane::modGeneral;
    {
        // Without a file the data set just reads as empty; the matrix itself stays.
        if (m_strFileName.isEmpty()) {
            g::ReadAsEmpty();
            return false;
        }
        const char delimiter = optSpace->isChecked() ? ' ' : optComma->isChecked() ? ',' : '\t';
        const std::string path = ToNativePath(m_strFileName);

        // The loaded data, the labels, the pane and the analysis windows change only once the
        // whole file has been read.
        corvane::ImportOptions options;
        options.betweenPasses = m_services.betweenImportPasses;
        auto result = corvane::ImportDataFile(path, delimiter, options);
        if (!result) {
            MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleDataEditor),
                                    FromCore(corvane::ImportErrorText(result.error(), path)));
            return false;
        }
        corvane::DataSet& data = result.value();
        g::Replace(std::move(data.matrix), data.cases, data.variables, std::move(data.names));

        // The label names the file just read, even when the file list has moved on since.
        lblCurrentFile->setText(QFileInfo(m_strFileName).fileName());
        txtOutput->appendReport(
            FromCore(corvane::ImportSummary(path, g::g_lngNumberOfCases, g::g_lngNumberOfVariables,
                                            !g::g_strVariableNames.empty())));
        m_analysisWindows->discardAnalysisWindows();
        if (m_services.settings) {
            m_services.settings->setValue(kLastImportFolder,
                                          QFileInfo(m_strFileName).absolutePath());
        }
        return true;
    }
}

void frmMain::mnuOpenOutput_Click() {
    Guarded(this, "Open Output", [this] { frmOpenOutput::showModal(txtOutput, this); });
}

void frmMain::showSaveOutput() { frmSaveOutput::showModal(txtOutput, this); }

void frmMain::mnuSaveOutput_Click() {
    Guarded(this, "Save Output", [this] { showSaveOutput(); });
}

bool frmMain::paneHasFocus() const {
    const QWidget* focused = focusWidget();
    return focused != nullptr && (focused == txtOutput || txtOutput->isAncestorOf(focused));
}

void frmMain::mnuCut_Click() {
    Guarded(this, "Cut", [this] {
        Clipboard::clear();
        if (!paneHasFocus()) return;
        Clipboard::setText(txtOutput->selectedTextCrlf());
        txtOutput->replaceSelection(QString());
    });
}

void frmMain::mnuCopy_Click() {
    Guarded(this, "Copy", [this] {
        Clipboard::clear();
        if (!paneHasFocus()) return;
        Clipboard::setText(txtOutput->selectedTextCrlf());
    });
}

void frmMain::mnuPaste_Click() {
    Guarded(this, "Paste", [this] {
        if (!paneHasFocus()) return;
        txtOutput->replaceSelection(Clipboard::text());
    });
}

void frmMain::mnuClearOutput_Click() {
    Guarded(this, "Clear Output", [this] { txtOutput->setTextCrlf(QString()); });
}

void frmMain::mnuNavigateDataFile_Click() {
    Guarded(this, "Navigate Data File", [this] { m_analysisWindows->showNavigate(); });
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

bool frmMain::confirmExit() {
    using corvane::msg::kConfirmExit;
    using corvane::msg::kConfirmSave;
    const auto exit = MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleProgram),
                                              QString::fromUtf8(kConfirmExit),
                                              MessageService::Buttons::YesNoCancel);
    if (exit != MessageService::Answer::Yes) return false;

    const auto save = MessageService::warning(
        this, QString::fromUtf8(corvane::msg::kTitleSaveOutput), QString::fromUtf8(kConfirmSave),
        MessageService::Buttons::YesNoCancel);
    if (save == MessageService::Answer::Cancel) return false;
    if (save == MessageService::Answer::Yes) {
        // Once the user has chosen to save, a cancelled save, or one the file system refused,
        // does not stop the exit. A save that broke down (no memory) does: the program goes on
        // with the pane as it was, and the box has said why.
        bool brokeDown = false;
        frmSaveOutput* dialog = frmSaveOutput::instance(txtOutput, this);
        const QMetaObject::Connection onFailure =
            connect(dialog, &frmSaveOutput::failed, this, [&brokeDown] { brokeDown = true; });
        const QMetaObject::Connection onSave =
            connect(dialog, &frmSaveOutput::saved, this,
                    [&brokeDown](const QString&) { brokeDown = false; });
        const bool shown = Guarded(this, "Save Output", [this] { showSaveOutput(); });
        disconnect(onFailure);
        disconnect(onSave);
        if (!shown || brokeDown) return false;
    }
    m_lngUnloadProgram = 1;
    return true;
}

void frmMain::mnuExit_Click() {
    Guarded(this, "Exit", [this] {
        if (confirmExit()) close();
    });
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_lngUnloadProgram != 1 && !m_inClosingRule) {
        m_inClosingRule = true;
        Guarded(this, "Exit", [this] { confirmExit(); });
        m_inClosingRule = false;
    }
    if (m_lngUnloadProgram != 1) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_ended) return;
    m_ended = true;
    // No window of the program outlives the main window, hidden ones included.
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->isWindow() && w->isVisible()) w->close();
    }
    emit programEnded();
}
