#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <memory>

#include "DarkPalette.h"
#include "KeyWalk.h"
#include "LayoutChecks.h"
#include "MainWindowCase.h"
#include "NextModal.h"
#include "common/Single.h"
#include "data/modGeneral.h"
#include "gui/analysis/frmDescriptives.h"
#include "gui/app/AnalysisWindows.h"
#include "gui/app/frmMain.h"
#include "gui/data/frmChooseSheet.h"
#include "gui/data/frmNavigate.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/Clipboard.h"
#include "gui/platform/FieldColours.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/Twips.h"

namespace g = corvane::modGeneral;

class TestMainWindow : public MainWindowCase {
    Q_OBJECT

  private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void startsAsTheProgramDoes() {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Corvane 2"));
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->focusWidget(), control<QWidget>("dirDirectory"));
        QVERIFY(control<QRadioButton>("optSpace")->isChecked());
        QVERIFY(!control<QRadioButton>("optComma")->isChecked());
        QVERIFY(!control<QRadioButton>("optTab")->isChecked());
        auto* types = control<QComboBox>("cmbFileType");
        QCOMPARE(types->count(), 11);
        QCOMPARE(types->itemText(0), QStringLiteral("Text (*.txt)"));
        QCOMPARE(types->itemText(1), QStringLiteral("Data (*.dat)"));
        QCOMPARE(types->itemText(2),
                 QStringLiteral("All data files (*.txt *.dat *.csv *.tsv *.xlsx "
                                "*.xlsm *.xls *.ods *.sav *.zsav *.por *.dta "
                                "*.sas7bdat *.xpt *.rds *.rdata *.rda *.gz *.bz2 *.xz "
                                "*.zip)"));
        QCOMPARE(types->currentIndex(), 0);
        QCOMPARE(control<FileListBox>("filFile")->pattern(), QStringLiteral("*.txt"));
        QCOMPARE(control<DirectoryListBox>("dirDirectory")->path(),
                 FileSystemPaths::currentDirectory());
        QVERIFY(pane()->textCrlf().isEmpty());
        QVERIFY(m_window->m_strFileName.isEmpty());
        QCOMPARE(m_window->m_lngUnloadProgram, 0);
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QString());
        QCOMPARE(control<QPushButton>("cmdImportData")->text(),
                 QStringLiteral("Import Selected Data File"));
        QCOMPARE(control<QLabel>("lblCurrentFile")->toolTip(),
                 QStringLiteral("File currently loaded in Corvane"));
        QCOMPARE(layoutFault(m_window.get()), QString());
        QCOMPARE(control<QRadioButton>("optTab")->parentWidget()->objectName(),
                 QStringLiteral("fraTypeOfDelimiter"));
    }

    void captionsFitTheirBoxes() {
        const char* fixed[] = {"optSpace",
                               "optComma",
                               "optTab",
                               "cmdImportData",
                               "lblCurrentFileLabel",
                               "lblSelectedFileLabel"};
        for (const char* name : fixed) {
            QWidget* w = control<QWidget>(name);
            QVERIFY2(w->sizeHint().width() <= w->width(), name);
            QVERIFY2(w->fontMetrics().height() <= w->height(), name);
            QVERIFY2(!w->font().bold(), name);
        }
        QVERIFY(control<QGroupBox>("fraSelectData")->font().bold());
        QVERIFY(control<QGroupBox>("fraOutput")->font().bold());
        QVERIFY(!pane()->font().bold());
        const QFontMetrics m(pane()->font());
        QCOMPARE(m.horizontalAdvance(QLatin1Char('i')), m.horizontalAdvance(QLatin1Char('W')));
    }

    void menusCarryEveryCommandInOrder() {
        const QList<QMenu*> menus = m_window->menuBar()->findChildren<QMenu*>();
        QStringList titles;
        for (QAction* a : m_window->menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Data", "&Analyses"}));

        auto items = [this](const char* menu) {
            QStringList names;
            for (QAction* a : control<QMenu>(menu)->actions())
                names << a->objectName() + "=" + a->text();
            return names;
        };
        QCOMPARE(items("mnuFile"), (QStringList{"mnuImportDataFile=&Import Data File...",
                                                "mnuOpenOutput=&Open Output",
                                                "mnuSaveOutput=&Save Output", "mnuExit=E&xit"}));
        QCOMPARE(items("mnuEdit"), (QStringList{"mnuUndo=&Undo", "mnuCut=Cu&t", "mnuCopy=&Copy",
                                                "mnuPaste=&Paste", "mnuClearOutput=C&lear Output",
                                                "mnuCopyResultForPaper=Copy &Result for a Paper"}));
        QCOMPARE(items("mnuData"), (QStringList{"mnuNavigateDataFile=&Navigate Data File",
                                                "mnuDataTable=Data &Table"}));
        QCOMPARE(items("mnuAnalyses"),
                 (QStringList{"mnuDescriptives=&Descriptives", "mnuCorvane=&Corvane",
                              "mnuBootstrapDistributions=&Bootstrap Distributions"}));
        for (QMenu* m : menus)
            for (QAction* a : m->actions()) {
                // Nothing to undo, picture or cite at the start.
                QCOMPARE(a->isEnabled(), a->objectName() != "mnuBootstrapDistributions" &&
                                             a->objectName() != "mnuCopyResultForPaper" &&
                                             a->objectName() != "mnuUndo");
                QCOMPARE(a->shortcut().isEmpty(), a->objectName() != "mnuUndo");
            }
        QCOMPARE(menuItem("mnuUndo")->shortcut(), QKeySequence(QKeySequence::Undo));

        // Alt+F, and F10, open the File menu.
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        for (const QKeyCombination keys : {Qt::ALT | Qt::Key_F, QKeyCombination(Qt::Key_F10)}) {
            QTest::keyClick(m_window.get(), keys.key(), keys.keyboardModifiers());
            QTRY_VERIFY(control<QMenu>("mnuFile")->isVisible());
            control<QMenu>("mnuFile")->close();
            QTRY_VERIFY(!control<QMenu>("mnuFile")->isVisible());
        }
    }

    void tabKeysFollowTheDesignedOrderThroughThePane() {
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        // Real Tab presses, so that a control keeping the Tab key to itself shows.
        const QStringList forward{"filFile",  "drvDrive",    "cmdImportData", "txtOutput",
                                  "optSpace", "cmbFileType", "dirDirectory"};
        QCOMPARE(tabWalk(control<QWidget>("dirDirectory"), 7), forward);
        const QStringList backward{"cmbFileType", "optSpace", "txtOutput",   "cmdImportData",
                                   "drvDrive",    "filFile",  "dirDirectory"};
        QCOMPARE(tabWalk(control<QWidget>("dirDirectory"), 7, true), backward);

        // Ctrl+Tab types a tab into the pane and keeps the focus there.
        pane()->setTextCrlf("a");
        pane()->moveCursor(QTextCursor::End);
        pane()->setFocus();
        QTest::keyClick(pane(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pane()->textCrlf(), QString("a\t"));
        QCOMPARE(QApplication::focusWidget(), pane());

        // Space presses the import button (with no file chosen, harmless); Enter and Escape
        // press nothing.
        QCOMPARE(spaceOnlyPresses(m_window.get(), control<QPushButton>("cmdImportData")),
                 QString());
    }

    void fileNamesShowAsTypedAndReadableUnderADarkTheme() {
        auto* selected = control<QLabel>("lblSelectedFile");
        auto* current = control<QLabel>("lblCurrentFile");
        QCOMPARE(selected->textFormat(), Qt::PlainText);
        QCOMPARE(current->textFormat(), Qt::PlainText);
        writeFile("<b>bold.txt", "1\n");
        clickFile("<b>bold.txt");
        QCOMPARE(selected->text(), QString("<b>bold.txt"));

        const QPalette before = QApplication::palette();
        QApplication::setPalette(darkPalette());
        current->setText("data.txt");
        QCoreApplication::processEvents();
        const QImage shot = current->grab().toImage();
        QApplication::setPalette(before);

        // The background is the colour at the empty right end; the text is the pixel that
        // stands out most from it.
        const QColor background = shot.pixelColor(shot.width() - 4, shot.height() / 2);
        double most = 0;
        for (int y = 2; y < shot.height() - 2; ++y)
            for (int x = 2; x < shot.width() - 2; ++x)
                most = std::max(most, std::abs(FieldColours::luminance(shot.pixelColor(x, y)) -
                                               FieldColours::luminance(background)));
        QVERIFY2(FieldColours::luminance(background) < 0.2, qPrintable(background.name()));
        QVERIFY2(most > 0.5, qPrintable(QString::number(most)));
    }

    void layoutFollowsTheWindowSize_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QRect>("selectData");
        QTest::addColumn<QRect>("output");
        QTest::addColumn<QRect>("paneRect");
        QTest::newRow("design") << 11880 << 9300 << QRect(100, 100, 11580, 2220)
                                << QRect(100, 2420, 11580, 5680) << QRect(200, 300, 11180, 5380);
        QTest::newRow("large") << 15000 << 12000 << QRect(100, 100, 14700, 2220)
                               << QRect(100, 2420, 14700, 8380) << QRect(200, 300, 14300, 8080);
        QTest::newRow("lowest") << 11880 << 7000 << QRect(100, 100, 11580, 2220)
                                << QRect(100, 2420, 11580, 3380) << QRect(200, 300, 11180, 3080);
        QTest::newRow("frames at their narrowest")
            << 9300 << 8000 << QRect(100, 100, 9000, 2220) << QRect(100, 2420, 9000, 4380)
            << QRect(200, 300, 8600, 4080);
        QTest::newRow("narrower than the frames")
            << 4000 << 8000 << QRect(100, 100, 9000, 2220) << QRect(100, 2420, 9000, 4380)
            << QRect(200, 300, 8600, 4080);
    }

    void layoutFollowsTheWindowSize() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QRect, selectData);
        QFETCH(QRect, output);
        QFETCH(QRect, paneRect);
        const MainWindowLayout l = MainWindowLayout::forWindow(width, height);
        QCOMPARE(l.fraSelectData, selectData);
        QCOMPARE(l.fraOutput, output);
        QCOMPARE(l.txtOutput, paneRect);

        // The window places its frames and pane by the same numbers.
        const QSize wanted(Twips::toPixelsX(width), Twips::toPixelsY(height));
        const QSize frame = m_window->frameGeometry().size() - m_window->size();
        m_window->resize(wanted - frame);
        QTRY_COMPARE(m_window->frameGeometry().size(), wanted);
        const QSize outer = m_window->outerSizeTwips();
        QVERIFY(qAbs(outer.width() - width) < 15 && qAbs(outer.height() - height) < 15);
        const MainWindowLayout placed = MainWindowLayout::forWindow(outer.width(), outer.height());
        auto px = [](const QRect& r) {
            return Twips::toPixels(r.left(), r.top(), r.width(), r.height());
        };
        QCOMPARE(control<QGroupBox>("fraSelectData")->geometry(), px(placed.fraSelectData));
        QCOMPARE(control<QGroupBox>("fraOutput")->geometry(), px(placed.fraOutput));
        QCOMPARE(pane()->geometry(), px(placed.txtOutput));
        QCOMPARE(pane()->parentWidget(), control<QGroupBox>("fraOutput"));
    }

    void windowSnapsBackToItsLowestHeight() {
        m_window->resize(Twips::toPixelsX(12000), Twips::toPixelsY(3000));
        QTRY_VERIFY(m_window->outerSizeTwips().height() >= MainWindowLayout::kMinimumHeight);
        QVERIFY(m_window->outerSizeTwips().height() < MainWindowLayout::kMinimumHeight + 30);
        const QRect out = control<QGroupBox>("fraOutput")->geometry();
        QVERIFY(out.height() > 0);
        QVERIFY(pane()->height() > 0);
        QVERIFY(pane()->width() >= Twips::toPixelsX(8600) - 1);
    }

    void importShowsTheSummaryAndReplacesTheData() {
        writeFile("scores.txt", "1 2 3\r\n4 5 6.5\r\n\r\n");
        clickFile("scores.txt");
        QCOMPARE(control<QLabel>("lblSelectedFile")->text(), QStringLiteral("scores.txt"));
        QVERIFY(m_window->m_strFileName.endsWith(QStringLiteral("/scores.txt")));
        QVERIFY(!m_window->m_strFileName.contains(QStringLiteral("//")));
        QCOMPARE(QFileInfo(m_window->m_strFileName).canonicalFilePath(),
                 QFileInfo(m_dir.filePath("scores.txt")).canonicalFilePath());
        pane()->setTextCrlf(QStringLiteral("typed\r\n"));

        import();
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(g::Current()->cases(), 3);
        QCOMPARE(g::Current()->variables(), 3);
        QCOMPARE(g::Current()->matrix().at(2, 3), 6.5f);
        QCOMPARE(g::Current()->matrix().at(3, 1), corvane::kMissing);
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QStringLiteral("scores.txt"));
        const QString summary = QStringLiteral(
                                    "Opened the text file: %1\r\nNumber of Cases: 3\r\n"
                                    "Number of Variables: 3\r\n\r\n\r\n")
                                    .arg(m_window->m_strFileName);
        QCOMPARE(pane()->textCrlf(), QStringLiteral("typed\r\n") + summary);

        // A second import appends a second summary.
        import();
        QCOMPARE(pane()->textCrlf(), QStringLiteral("typed\r\n") + summary + summary);
    }

    void importUsesTheChosenDelimiter() {
        writeFile("commas.txt", "1,2\r\n3,,5\r\n");
        clickFile("commas.txt");
        control<QRadioButton>("optComma")->click();
        import();
        QCOMPARE(g::Current()->cases(), 2);
        QCOMPARE(g::Current()->variables(), 3);
        QCOMPARE(g::Current()->matrix().at(2, 2), 9999999.0f);
        QCOMPARE(g::Current()->matrix().at(2, 3), 5.0f);

        // The same file read with tabs is one field per line, and "1,2" is no number.
        control<QRadioButton>("optTab")->click();
        QVERIFY(!control<QRadioButton>("optComma")->isChecked());
        import();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown()[0].text,
                 QStringLiteral("Row 1 of Column 1 has an invalid entry for analysis."));
    }

    void failedImportKeepsWhatWasLoaded() {
        writeFile("good.txt", "1 2\r\n3 4\r\n");
        writeFile("bad.txt", "1 2\r\n3 x 5\r\n");
        writeFile("gone.txt", "7\r\n");
        clickFile("good.txt");
        import();
        const QString before = pane()->textCrlf();
        QCOMPARE(g::Current()->cases(), 2);
        AnalysisWindows* windows = m_window->analysisWindows();
        windows->corvaneInstance();
        windows->descriptivesInstance();
        const QPointer<QWidget> corvane = windows->corvane();
        const QPointer<QWidget> descriptives = windows->descriptives();
        QVERIFY(corvane && descriptives);

        clickFile("bad.txt");
        import();
        QCOMPARE(MessageService::shown().size(), 1);
        const MessageService::Shown box = MessageService::shown()[0];
        QCOMPARE(box.title, QStringLiteral("Data Editor"));
        QCOMPARE(box.text, QStringLiteral("Row 2 of Column 2 has an invalid entry for analysis."));
        QCOMPARE(box.buttons, MessageService::Buttons::Ok);
        QCOMPARE(g::Current()->cases(), 2);
        QCOMPARE(g::Current()->variables(), 2);
        QCOMPARE(g::Current()->matrix().at(2, 2), 4.0f);
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QStringLiteral("good.txt"));
        QCOMPARE(pane()->textCrlf(), before);

        // Commas would split each line of semicolons and decimal commas in two: refused.
        QVERIFY(QFile::copy(QStringLiteral(CORVANE_TEST_DATA "/dialects/r_write_csv2.csv"),
                            m_dir.filePath("csv2.txt")));
        clickFile("csv2.txt");
        control<QRadioButton>("optComma")->click();
        import();
        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(MessageService::shown()[1].text,
                 QStringLiteral("The file looks semicolon-delimited with decimal commas: import it "
                                "with File > Import Data File..., which detects its format."));
        QCOMPARE(g::Current()->cases(), 2);
        QCOMPARE(pane()->textCrlf(), before);
        MessageService::clearShown();
        control<QRadioButton>("optSpace")->click();

        // A file that vanished after it was clicked cannot be read: said so, nothing changes.
        clickFile("gone.txt");
        QVERIFY(QFile::remove(m_dir.filePath("gone.txt")));
        import();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown()[0].title, QStringLiteral("Data Editor"));
        QVERIFY(MessageService::shown()[0].text.contains(QStringLiteral("gone.txt")));
        QCOMPARE(g::Current()->cases(), 2);
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QStringLiteral("good.txt"));
        QCOMPARE(pane()->textCrlf(), before);
        // The analysis windows built for the loaded data are still the same ones.
        QCOMPARE(windows->corvane(), corvane.data());
        QCOMPARE(windows->descriptives(), descriptives.data());

        // A good import releases them, to be built afresh for the new data.
        clickFile("good.txt");
        import();
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(corvane.isNull() && descriptives.isNull());
        QVERIFY(windows->corvane() == nullptr && windows->descriptives() == nullptr);
    }

    void importWithoutAFileEmptiesTheDataSet() {
        g::Replace(corvane::DataSet({corvane::DataMatrix(1, 1), 1, 1, {}, {}}));
        import();
        QCOMPARE(g::Current()->cases(), 0);
        QCOMPARE(g::Current()->variables(), 0);
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(pane()->textCrlf().isEmpty());
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QString());
    }

    void importReadsTheFileLastClicked() {
        writeFile("first.txt", "5\r\n");
        clickFile("first.txt");
        const QString clicked = m_window->m_strFileName;
        // Moving elsewhere keeps the clicked file, and both labels name it.
        QVERIFY(control<DirectoryListBox>("dirDirectory")->setPath(QDir::rootPath()));
        QCOMPARE(control<QLabel>("lblSelectedFile")->text(), QStringLiteral("first.txt"));
        import();
        QCOMPARE(g::Current()->cases(), 1);
        QCOMPARE(g::Current()->matrix().at(1, 1), 5.0f);
        QVERIFY(pane()->textCrlf().startsWith(QStringLiteral("Opened the text file: ") + clicked));
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QStringLiteral("first.txt"));
    }

    // The File menu's dialog and a dropped file import the file as detected and move the lists;
    // the folder is remembered for the next start; the names reach the windows. The browser's
    // Import button keeps the chosen delimiter.
    void importDataFileFromTheDialogOrADrop() {
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("named.txt"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("group,score\r\n1,12.5\r\n2,14\r\n");
        }
        auto settings = std::make_shared<QSettings>(m_dir.filePath(QStringLiteral("settings.ini")),
                                                    QSettings::IniFormat);
        QString askedFolder, askedFilter;
        frmMainServices services;
        services.settings = settings;
        services.chooseDataFile = [&](QWidget*, const QString& folder, const QString& filter) {
            askedFolder = folder;
            askedFilter = filter;
            return path;
        };
        m_window = std::make_unique<frmMain>(nullptr, services);
        m_window->Form_Load(std::chrono::milliseconds(0));
        const QString startedIn = control<DirectoryListBox>("dirDirectory")->path();
        control<QRadioButton>("optComma")->setChecked(true);
        menuItem("mnuImportDataFile")->trigger();

        QCOMPARE(askedFolder, startedIn);
        // The dialog starts on every data file, and offers each entry of the list.
        QVERIFY(askedFilter.startsWith(QStringLiteral("All data files (*.txt *.dat *.csv")));
        QCOMPARE(askedFilter.split(QStringLiteral(";;")).size(), 12);
        QVERIFY(askedFilter.endsWith(QStringLiteral(";;All files (*)")));
        QVERIFY(askedFilter.contains(QStringLiteral(";;Text (*.txt);;Data (*.dat);;")));
        QCOMPARE(control<DirectoryListBox>("dirDirectory")->path(), elsewhere.path());
        QCOMPARE(control<FileListBox>("filFile")->path(), elsewhere.path());
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QStringLiteral("named.txt"));
        QVERIFY(pane()->textCrlf().endsWith(
            QStringLiteral("Number of Cases: 2\r\nNumber of Variables: 2\r\n"
                           "Variable Names: from the first line\r\n"
                           "Read as: comma-delimited text\r\n\r\n\r\n")));
        QCOMPARE(g::Current()->matrix().at(2, 2), 14.0f);

        frmDescriptives descriptives(g::Current(), pane());
        QCOMPARE(descriptives.lstItems->item(1)->text(), QStringLiteral("Var 2  score"));
        frmNavigate navigator(g::Current());
        QVERIFY(navigator.Form_Load());
        QCOMPARE(navigator.lblColumn->text(), QStringLiteral("Column: 1  group"));

        // The next start opens the lists in that folder.
        m_window->m_lngUnloadProgram = 1;
        m_window = std::make_unique<frmMain>(nullptr, services);
        m_window->Form_Load(std::chrono::milliseconds(0));
        QCOMPARE(control<DirectoryListBox>("dirDirectory")->path(), elsewhere.path());

        // The browser's Import button reads the file with the delimiter chosen.
        control<QRadioButton>("optSpace")->setChecked(true);
        m_window->filFile_Click(QStringLiteral("named.txt"));
        control<QPushButton>("cmdImportData")->click();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().front().text,
                 QStringLiteral("Row 2 of Column 1 has an invalid entry for analysis. The file "
                                "looks comma-delimited: choose Comma Delimited and import again."));
        MessageService::clearShown();

        // A dropped file: detected again, whatever the delimiter chosen.
        QVERIFY(control<DirectoryListBox>("dirDirectory")->setPath(m_dir.path()));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(m_window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        const QString beforeDrop = pane()->textCrlf();
        QApplication::sendEvent(m_window.get(), &drop);
        QCOMPARE(control<DirectoryListBox>("dirDirectory")->path(), elsewhere.path());
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(pane()->textCrlf().size() > beforeDrop.size());
        QCOMPARE(control<FileListBox>("filFile")->fileName(), QStringLiteral("named.txt"));

        // A file the chosen file type hides turns the list to all data files, where it stands
        // selected.
        const QString csv = elsewhere.filePath(QStringLiteral("named.csv"));
        QVERIFY(QFile::copy(path, csv));
        QMimeData csvMime;
        csvMime.setUrls({QUrl::fromLocalFile(csv)});
        QDragEnterEvent csvEnter(QPoint(10, 10), Qt::CopyAction, &csvMime, Qt::LeftButton, {});
        QApplication::sendEvent(m_window.get(), &csvEnter);
        QDropEvent csvDrop(QPointF(10, 10), Qt::CopyAction, &csvMime, Qt::LeftButton, {});
        QApplication::sendEvent(m_window.get(), &csvDrop);
        QVERIFY(control<QComboBox>("cmbFileType")->currentText().startsWith("All data files"));
        QCOMPARE(control<FileListBox>("filFile")->fileName(), QStringLiteral("named.csv"));

        // A drag of a folder is refused.
        QMimeData folder;
        folder.setUrls({QUrl::fromLocalFile(elsewhere.path())});
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &folder, Qt::LeftButton, {});
        QApplication::sendEvent(m_window.get(), &refused);
        QVERIFY(!refused.isAccepted());

        // Nor is a file dropped while a modal window is open.
        const QString before = pane()->textCrlf();
        QDialog modal(m_window.get());
        bool enterRefused = false;
        QTimer::singleShot(0, &modal, [&] {
            QDragEnterEvent late(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(m_window.get(), &late);
            enterRefused = !late.isAccepted();
            QDropEvent lateDrop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(m_window.get(), &lateDrop);
            modal.reject();
        });
        modal.exec();
        QVERIFY(enterRefused);
        QCOMPARE(pane()->textCrlf(), before);

        // `corvane FILE`: the file comes in once the event loop runs, as a drop would.
        control<QRadioButton>("optComma")->setChecked(true);
        m_window->importAtStart({QStringLiteral("corvane"), path});
        QCOMPARE(pane()->textCrlf(), before);
        QTRY_VERIFY(pane()->textCrlf() != before);
        QCOMPARE(g::Current()->matrix().at(2, 2), 14.0f);
        g::Clear();
    }

    // A workbook of several sheets asks which to import; cancelling changes nothing.
    void aWorkbookAsksForItsSheet() {
        const QString path = QStringLiteral(CORVANE_TEST_DATA "/written-by/xlsxwriter_trial.xlsx");
        const QString before = pane()->textCrlf();
        QStringList listed;
        WhenModalUp<frmChooseSheet>([&](frmChooseSheet& d) {
            for (int i = 0; i < d.lstSheets->count(); ++i) listed << d.lstSheets->item(i)->text();
            d.reject();
        });
        m_window->importFile(path);
        QCOMPARE(listed.size(), 2);
        QVERIFY2(listed[0].startsWith(QStringLiteral("trial    ")), qPrintable(listed[0]));
        QVERIFY2(listed[1].contains(QStringLiteral(" rows, 3 columns")), qPrintable(listed[1]));
        QCOMPARE(pane()->textCrlf(), before);

        WhenModalUp<frmChooseSheet>([](frmChooseSheet& d) {
            d.lstSheets->setCurrentRow(1);
            d.accept();
        });
        m_window->importFile(path);
        QVERIFY(pane()->textCrlf().endsWith(
            QStringLiteral("Read as: Excel workbook, sheet \"notes\" (2 of 2)\r\n\r\n\r\n")));
        QVERIFY(pane()->textCrlf().contains(QStringLiteral("Opened the workbook: ") +
                                            QDir::cleanPath(path) + QStringLiteral("\r\n")));
        QCOMPARE(g::Current()->cases(), 2);

        // The browser's Import button reads it as text with the chosen delimiter, and says
        // what would read it.
        MessageService::clearShown();
        m_window->filFile_Click(QStringLiteral("xlsxwriter_trial.xlsx"));
        m_window->m_strFileName = path;
        control<QPushButton>("cmdImportData")->click();
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY2(MessageService::shown().front().text.endsWith(
                     QStringLiteral("The file looks like a spreadsheet workbook: import it with "
                                    "File > Import Data File..., which detects its format.")),
                 qPrintable(MessageService::shown().front().text));
        g::Clear();
    }

    // A zip archive of several data files asks which, in the workbook's dialog.
    void aZipOfFilesAsksForOne() {
        const QString path = QStringLiteral(CORVANE_TEST_DATA "/packed/python_two.zip");
        QString prompt;
        QStringList listed;
        WhenModalUp<frmChooseSheet>([&](frmChooseSheet& d) {
            prompt = d.lblPrompt->text();
            for (int i = 0; i < d.lstSheets->count(); ++i) listed << d.lstSheets->item(i)->text();
            d.lstSheets->setCurrentRow(1);
            d.accept();
        });
        m_window->importFile(path);
        QCOMPARE(
            prompt,
            QStringLiteral("The zip archive \"python_two.zip\" holds 2 files. Import which one?"));
        QCOMPARE(listed, (QStringList{QStringLiteral("tables/sites.csv    81 bytes"),
                                      QStringLiteral("visits.tsv    15 bytes")}));
        QVERIFY(pane()->textCrlf().endsWith(
            QStringLiteral("Read as: zip-compressed tab-delimited text, file \"visits.tsv\" (2 of "
                           "2)\r\n\r\n\r\n")));
        QCOMPARE(g::Current()->cases(), 4);
        g::Clear();
    }

    // An R workspace of two data frames asks which, naming them as data frames.
    void anRWorkspaceAsksForADataFrame() {
        QString title, prompt;
        WhenModalUp<frmChooseSheet>([&](frmChooseSheet& d) {
            title = d.windowTitle();
            prompt = d.lblPrompt->text();
            d.lstSheets->setCurrentRow(1);
            d.accept();
        });
        m_window->importFile(QStringLiteral(CORVANE_TEST_DATA "/rdata/two_frames.RData"));
        QCOMPARE(title, QStringLiteral("Choose Data Frame"));
        QCOMPARE(prompt, QStringLiteral("The R workspace \"two_frames.RData\" holds 2 data "
                                        "frames. Import which one?"));
        QVERIFY(pane()->textCrlf().contains(
            QStringLiteral("Read as: R workspace, data frame \"ratings\" (2 of 2)\r\n")));
        g::Clear();
    }

    void fileTypeChoosesThePattern() {
        writeFile("one.txt", "1\r\n");
        writeFile("two.dat", "2\r\n");
        QVERIFY(control<DirectoryListBox>("dirDirectory")->setPath(m_dir.path()));
        auto* files = control<FileListBox>("filFile");
        QVERIFY(files->fileNames().contains(QStringLiteral("one.txt")));
        QVERIFY(!files->fileNames().contains(QStringLiteral("two.dat")));
        auto* types = control<QComboBox>("cmbFileType");
        types->setCurrentIndex(1);
        m_window->cmbFileType_Click();
        QCOMPARE(files->pattern(), QStringLiteral("*.dat"));
        QVERIFY(files->fileNames().contains(QStringLiteral("two.dat")));
        QVERIFY(!files->fileNames().contains(QStringLiteral("one.txt")));
        writeFile("three.sav", "$FL2");
        writeFile("four.csv", "4\r\n");
        types->setCurrentIndex(2);
        m_window->cmbFileType_Click();
        for (const char* name : {"one.txt", "two.dat", "three.sav", "four.csv"})
            QVERIFY2(files->fileNames().contains(QLatin1String(name)), name);
    }

    void editCommandsActOnThePaneWhenItHasTheFocus() {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        pane()->setTextCrlf(QStringLiteral("alpha\r\nbeta\r\ngamma"));
        pane()->setFocus();
        QTRY_COMPARE(m_window->focusWidget(), pane());

        QTextCursor c = pane()->textCursor();
        c.setPosition(2);
        c.setPosition(8, QTextCursor::KeepAnchor);  // "pha" CR LF "be"
        pane()->setTextCursor(c);
        menuItem("mnuCopy")->trigger();
        QCOMPARE(Clipboard::text(), QStringLiteral("pha\r\nbe"));
        QCOMPARE(pane()->textCrlf(), QStringLiteral("alpha\r\nbeta\r\ngamma"));

        menuItem("mnuCut")->trigger();
        QCOMPARE(Clipboard::text(), QStringLiteral("pha\r\nbe"));
        QCOMPARE(pane()->textCrlf(), QStringLiteral("alta\r\ngamma"));

        // Paste at the caret, then over a selection.
        menuItem("mnuPaste")->trigger();
        QCOMPARE(pane()->textCrlf(), QStringLiteral("alpha\r\nbeta\r\ngamma"));
        QCOMPARE(Clipboard::text(), QStringLiteral("pha\r\nbe"));
        c = pane()->textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        pane()->setTextCursor(c);
        Clipboard::clear();
        menuItem("mnuPaste")->trigger();
        QCOMPARE(pane()->textCrlf(), QStringLiteral("\r\nbeta\r\ngamma"));

        // Nothing selected: Cut puts an empty text on the clipboard and changes nothing.
        Clipboard::setText(QStringLiteral("old"));
        c = pane()->textCursor();
        c.clearSelection();
        pane()->setTextCursor(c);
        menuItem("mnuCut")->trigger();
        QCOMPARE(Clipboard::text(), QString());
        QCOMPARE(pane()->textCrlf(), QStringLiteral("\r\nbeta\r\ngamma"));
    }

    void editCommandsDoNothingButEmptyTheClipboardElsewhere() {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        pane()->setTextCrlf(QStringLiteral("alpha beta"));
        QTextCursor c = pane()->textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        pane()->setTextCursor(c);
        auto* files = control<FileListBox>("filFile");
        files->setFocus();
        QTRY_COMPARE(m_window->focusWidget(), files);

        Clipboard::setText(QStringLiteral("kept"));
        menuItem("mnuPaste")->trigger();
        QCOMPARE(pane()->textCrlf(), QStringLiteral("alpha beta"));
        QCOMPARE(Clipboard::text(), QStringLiteral("kept"));

        menuItem("mnuCopy")->trigger();
        QCOMPARE(Clipboard::text(), QString());
        Clipboard::setText(QStringLiteral("kept"));
        menuItem("mnuCut")->trigger();
        QCOMPARE(Clipboard::text(), QString());
        QCOMPARE(pane()->textCrlf(), QStringLiteral("alpha beta"));

        // Clear Output needs no focus; Edit > Undo brings the text back, and after a clear the
        // next report starts at the top.
        MessageService::queueAnswer(MessageService::Answer::No);  // not saved
        menuItem("mnuClearOutput")->trigger();
        QCOMPARE(pane()->textCrlf(), QString());
        QVERIFY(menuItem("mnuUndo")->isEnabled());
        menuItem("mnuUndo")->trigger();
        QCOMPARE(pane()->textCrlf(), QStringLiteral("alpha beta"));
        MessageService::queueAnswer(MessageService::Answer::No);
        menuItem("mnuClearOutput")->trigger();
        pane()->appendReport(QStringLiteral("next\r\n"));
        QCOMPARE(pane()->textCrlf(), QStringLiteral("next\r\n"));
        QVERIFY(!menuItem("mnuUndo")->isEnabled());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
