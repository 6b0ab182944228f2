#include <sys/mount.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "DarkPalette.h"
#include "NextModal.h"
#include "gui/platform/Clipboard.h"
#include "gui/platform/ElidedCaption.h"
#include "gui/platform/FieldColours.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/TextStartShown.h"
#include "gui/platform/Twips.h"

namespace {

void touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

// The three lists on one window, chained as the windows chain them.
struct Browser {
    explicit Browser(const QStringList& drives = {}) : drive(new DriveListBox(&window, drives)) {}
    QWidget window;
    DriveListBox* drive;
    DirectoryListBox* directory = new DirectoryListBox(&window);
    FileListBox* file = new FileListBox(&window);
    FileListChain* chain = new FileListChain(drive, directory, file);
};

}  // namespace

class TestPlatform : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageService::startScripting();
        MessageService::clearShown();
    }
    void cleanup() { QVERIFY(QDir::setCurrent(m_startDir)); }
    void initTestCase() { m_startDir = QDir::currentPath(); }

    void twipsFollowTheLogicalDpi() {
        const double dpiX = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
        const double dpiY = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
        QCOMPARE(Twips::toPixelsX(1440), qRound(dpiX));
        QCOMPARE(Twips::toPixelsY(1440), qRound(dpiY));
        QCOMPARE(Twips::toPixelsX(0), 0);
        QCOMPARE(Twips::toPixelsX(720), qRound(dpiX / 2));
        QCOMPARE(Twips::toPixelsX(-1440), -qRound(dpiX));
        QCOMPARE(Twips::fromPixelsX(qRound(dpiX)), qRound(1440 * qRound(dpiX) / dpiX));
        // Converting back lands within one pixel's worth of twips.
        for (int t : {15, 240, 2415, 9000, 11880}) {
            QVERIFY(qAbs(Twips::fromPixelsY(Twips::toPixelsY(t)) - t) <= qCeil(1440 / dpiY));
        }
        QCOMPARE(Twips::toPixels(240, 600, 2415, 1665),
                 QRect(Twips::toPixelsX(240), Twips::toPixelsY(600), Twips::toPixelsX(2415),
                       Twips::toPixelsY(1665)));

        QWidget parent;
        QWidget* child = new QWidget(&parent);
        Twips::place(child, 240, 600, 2415, 1665);
        QCOMPARE(child->geometry(), Twips::toPixels(240, 600, 2415, 1665));
        Twips::resizeClient(&parent, 5595, 3825);
        QCOMPARE(parent.size(), QSize(Twips::toPixelsX(5595), Twips::toPixelsY(3825)));
    }

    void joiningNeverDoublesTheSeparator() {
        QCOMPARE(FileSystemPaths::joinPath("/", "a.txt"), QString("/a.txt"));
        QCOMPARE(FileSystemPaths::joinPath("/tmp", "a.txt"), QString("/tmp/a.txt"));
        QCOMPARE(FileSystemPaths::joinPath("/tmp/", "a.txt"), QString("/tmp/a.txt"));
        QCOMPARE(FileSystemPaths::currentDirectory(), QDir::cleanPath(QDir::currentPath()));
    }

    void driveListPutsTheRootFirst() {
        DriveListBox drive;
        QVERIFY(drive.count() >= 1);
        QCOMPARE(drive.itemText(0), QString("/"));
        QCOMPARE(drive.drive(), drive.driveOf(QDir::currentPath()));
        for (const QString& d : drive.drives()) QVERIFY(QFileInfo(d).isDir());

        DriveListBox fixed(nullptr, {"/srv/b", "/", "/mnt/a", "/mnt"});
        QCOMPARE(fixed.drives(), QStringList({"/", "/mnt", "/mnt/a", "/srv/b"}));
        // The longest mount point holding the path, matched on whole components.
        QCOMPARE(fixed.driveOf("/mnt/a/x/y"), QString("/mnt/a"));
        QCOMPARE(fixed.driveOf("/mnt/ab"), QString("/mnt"));
        QCOMPARE(fixed.driveOf("/mnt"), QString("/mnt"));
        QCOMPARE(fixed.driveOf("/srv/bb"), QString("/"));

        QSignalSpy changed(&fixed, &DriveListBox::driveChanged);
        QVERIFY(fixed.setDrive("/mnt/a/deep"));
        QCOMPARE(fixed.drive(), QString("/mnt/a"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QString("/mnt/a"));
        QVERIFY(fixed.setDrive("/mnt/a"));
        QCOMPARE(changed.count(), 1);  // no change, no signal
    }

    void directoryListShowsTheChainThenTheSubdirectories() {
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("beta"));
        QVERIFY(QDir(tmp.path()).mkpath("Alpha"));
        QVERIFY(QDir(tmp.path()).mkpath(".hidden"));
        touch(tmp.filePath("file.txt"));
        const QString root = QDir::cleanPath(tmp.path());

        DirectoryListBox dir;
        QSignalSpy changed(&dir, &DirectoryListBox::pathChanged);
        QVERIFY(dir.setPath(tmp.path() + "/"));
        QCOMPARE(dir.path(), root);
        QCOMPARE(changed.count(), 1);

        const int depth = root.split('/', Qt::SkipEmptyParts).size();
        QCOMPARE(dir.count(), depth + 1 + 2);
        QCOMPARE(dir.entryPath(0), QString("/"));
        QCOMPARE(dir.entryPath(depth), root);
        QCOMPARE(dir.currentRow(), depth);
        QCOMPARE(dir.entryPath(depth + 1), root + "/Alpha");
        QCOMPARE(dir.entryPath(depth + 2), root + "/beta");

        // Activating a subdirectory enters it; activating an ancestor goes up.
        emit dir.itemActivated(dir.item(depth + 2));
        QCOMPARE(dir.path(), root + "/beta");
        QCOMPARE(changed.count(), 2);
        emit dir.itemActivated(dir.item(0));
        QCOMPARE(dir.path(), QString("/"));

        QVERIFY(!dir.setPath(root + "/missing"));
        QCOMPARE(dir.path(), QString("/"));
        QVERIFY(!dir.setPath(tmp.filePath("file.txt")));
        QCOMPARE(changed.count(), 3);
    }

    void fileListMatchesThePatternAndReportsClicks() {
        QTemporaryDir tmp;
        for (const char* n : {"b.txt", "A.TXT", "c.dat", "notes", ".hidden.txt"}) {
            touch(tmp.filePath(n));
        }
        QVERIFY(QDir(tmp.path()).mkpath("dir.txt"));

        FileListBox file;
        QVERIFY(file.setPath(tmp.path()));
        QCOMPARE(file.fileNames(), QStringList({"A.TXT", "b.txt", "c.dat", "notes"}));
        QVERIFY(file.setPattern("*.txt"));
        QCOMPARE(file.fileNames(), QStringList({"A.TXT", "b.txt"}));
        QVERIFY(file.setPattern("*.dat"));
        QCOMPARE(file.fileNames(), QStringList({"c.dat"}));
        QVERIFY(file.setPattern("*.txt;*.dat"));
        QCOMPARE(file.fileNames().size(), 3);
        QVERIFY(file.setPattern("*.txt"));

        QSignalSpy clicked(&file, &FileListBox::fileClicked);
        file.show();
        file.setFocus();  // focus alone chooses nothing
        QCOMPARE(clicked.count(), 0);
        QVERIFY(file.clickFile("b.txt"));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toString(), QString("b.txt"));
        QCOMPARE(file.fileName(), QString("b.txt"));
        QCOMPARE(file.filePath(), QDir::cleanPath(tmp.path()) + "/b.txt");
        QVERIFY(!file.clickFile("c.dat"));

        // A real click on the first row.
        const QRect first = file.visualItemRect(file.item(0));
        QTest::mouseClick(file.viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(clicked.at(1).at(0).toString(), QString("A.TXT"));

        // An unreadable directory leaves the list as it was.
        QVERIFY(!file.setPath(tmp.filePath("missing")));
        QCOMPARE(file.path(), QDir::cleanPath(tmp.path()));
        QCOMPARE(file.fileNames(), QStringList({"A.TXT", "b.txt"}));
    }

    void chainStartsAtTheCurrentDirectoryAndFollowsIt() {
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("sub"));
        touch(tmp.filePath("top.txt"));
        touch(tmp.filePath("sub/inner.txt"));
        QVERIFY(QDir::setCurrent(tmp.path()));
        const QString root = QDir::cleanPath(tmp.path());

        Browser b;
        QCOMPARE(b.directory->path(), root);
        QCOMPARE(b.file->path(), root);
        QCOMPARE(b.drive->drive(), b.drive->driveOf(root));
        QVERIFY(b.chain->setPattern("*.txt"));
        QCOMPARE(b.file->fileNames(), QStringList({"top.txt"}));

        QVERIFY(b.directory->setPath(root + "/sub"));
        QCOMPARE(b.file->path(), root + "/sub");
        QCOMPARE(b.file->fileNames(), QStringList({"inner.txt"}));
        QCOMPARE(b.file->pattern(), QString("*.txt"));
    }

    void unreadableDriveReturnsToTheDirectorysDrive() {
        QTemporaryDir tmp, other;
        QVERIFY(QDir(other.path()).mkpath("deep"));
        QVERIFY(QDir::setCurrent(tmp.path()));
        const QString here = QDir::cleanPath(tmp.path());
        const QString otherRoot = QDir::cleanPath(other.path());

        Browser b({"/", "/corvane-no-such-drive", otherRoot});
        QCOMPARE(b.drive->drive(), QString("/"));
        QSignalSpy dirChanged(b.directory, &DirectoryListBox::pathChanged);

        // No medium: silently back to "/", and the directory list stays where it was.
        b.drive->setCurrentIndex(b.drive->findText("/corvane-no-such-drive"));
        QCOMPARE(b.drive->drive(), QString("/"));
        QCOMPARE(b.directory->path(), here);
        QCOMPARE(b.file->path(), here);
        QCOMPARE(dirChanged.count(), 0);
        QVERIFY(MessageService::shown().isEmpty());

        // A readable drive shows its root first, then the last directory visited there.
        b.drive->setCurrentIndex(b.drive->findText(otherRoot));
        QCOMPARE(b.directory->path(), otherRoot);
        QCOMPARE(b.file->path(), otherRoot);
        QVERIFY(b.directory->setPath(otherRoot + "/deep"));
        QVERIFY(b.drive->setDrive("/"));
        QCOMPARE(b.directory->path(), here);
        QVERIFY(b.drive->setDrive(otherRoot));
        QCOMPARE(b.directory->path(), otherRoot + "/deep");

        // A pattern change in a directory that has gone puts the drive back to the dir's drive.
        QVERIFY(QDir(otherRoot + "/deep").removeRecursively());
        QVERIFY(!b.chain->setPattern("*.dat"));
        QCOMPARE(b.drive->drive(), otherRoot);
        QVERIFY(MessageService::shown().isEmpty());
    }

    void driveListFollowsMountsAndTheDirectoryList() {
        QTemporaryDir tmp;
        const QString stick = QDir::cleanPath(tmp.path()) + "/stick";
        QVERIFY(QDir().mkpath(stick));
        QVERIFY(QDir::setCurrent(tmp.path()));
        Browser b;
        const QStringList before = b.drive->drives();
        if (::mount("tmpfs", QFile::encodeName(stick).constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no tmpfs can be mounted here to stand in for a medium plugged in later");
        // Checked once the medium is gone again, so that a failure cannot leave it mounted.
        const bool made = QDir().mkpath(stick + "/photos");
        const bool unlisted = !b.drive->drives().contains(stick);

        // Opening the box reads the mounts again; the choice stays.
        const QString chosen = b.drive->drive();
        b.window.show();
        b.drive->showPopup();
        b.drive->hidePopup();
        const bool listed = b.drive->drives().contains(stick);
        QCOMPARE(b.drive->drive(), chosen);

        // Moving the directory list onto the new mount moves the drive box with it, without
        // sending the directory list anywhere else.
        QSignalSpy driveChanged(b.drive, &DriveListBox::driveChanged);
        const bool moved = b.directory->setPath(stick + "/photos");
        const QString shown = b.drive->drive();
        const bool movedBack = b.directory->setPath(tmp.path());
        const QString back = b.drive->drive();
        ::umount(QFile::encodeName(stick).constData());
        QVERIFY(made && unlisted && moved && movedBack);
        QVERIFY(listed);
        QCOMPARE(shown, stick);
        QCOMPARE(back, b.drive->driveOf(tmp.path()));
        QCOMPARE(driveChanged.count(), 0);
        QCOMPARE(b.directory->path(), QDir::cleanPath(tmp.path()));
        b.drive->refresh();
        QCOMPARE(b.drive->drives(), before);
    }

    void fieldColoursContrastOnAnyPalette() {
        const QPalette dark = darkPalette();
        QPalette unreadable = dark;  // a theme whose field text matches its field background
        unreadable.setColor(QPalette::Text, QColor(0x2b, 0x2b, 0x2b));
        QPalette light(QColor(0xef, 0xef, 0xef));
        light.setColor(QPalette::Base, Qt::white);
        light.setColor(QPalette::Text, Qt::black);
        for (const QPalette& p : {light, dark, unreadable, QApplication::palette()}) {
            const FieldColours::Pair c = FieldColours::pick(p);
            QVERIFY2(FieldColours::contrast(c.background, c.text) >= 4.5,
                     qPrintable(c.background.name() + " / " + c.text.name()));
            QCOMPARE(c.background, p.color(QPalette::Base));
        }
        QCOMPARE(FieldColours::pick(unreadable).text, QColor(Qt::white));
        QCOMPARE(FieldColours::contrast(Qt::black, Qt::white), 21.0);

        // A field keeps to plain text and follows a change of theme.
        const QPalette before = QApplication::palette();
        QWidget window;
        auto* field = new QLabel(&window);
        FieldColours::makeField(field);
        QCOMPARE(field->textFormat(), Qt::PlainText);
        window.show();  // a hidden widget takes a new palette only when it is shown
        QApplication::setPalette(dark);
        QCoreApplication::processEvents();
        const QColor background = field->palette().color(QPalette::Window);
        const QColor text = field->palette().color(QPalette::WindowText);
        QApplication::setPalette(before);
        QCOMPARE(background, dark.color(QPalette::Base));
        QCOMPARE(text, dark.color(QPalette::Text));
    }

    void messageServiceTakesQueuedAnswersAndRecordsBoxes() {
        MessageService::queueAnswer(MessageService::Answer::No);
        MessageService::queueAnswer(MessageService::Answer::Yes);
        using B = MessageService::Buttons;
        QCOMPARE(MessageService::warning(nullptr, "T1", "first", B::YesNoCancel),
                 MessageService::Answer::No);
        QCOMPARE(MessageService::warning(nullptr, "T2", "second", B::YesNoCancel),
                 MessageService::Answer::Yes);
        // An OK box needs no answer; a question without one is counted and cancelled.
        QCOMPARE(MessageService::warning(nullptr, "T3", "third"), MessageService::Answer::Ok);
        QCOMPARE(MessageService::unansweredCount(), 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no answer queued"));
        QCOMPARE(MessageService::warning(nullptr, "T4", "fourth", B::YesNoCancel),
                 MessageService::Answer::Cancel);
        QCOMPARE(MessageService::unansweredCount(), 1);

        const auto& shown = MessageService::shown();
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0].title, QString("T1"));
        QCOMPARE(shown[0].text, QString("first"));
        QCOMPARE(shown[0].buttons, B::YesNoCancel);
        QCOMPARE(shown[2].buttons, B::Ok);
        MessageService::clearShown();
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(MessageService::unansweredCount(), 0);
    }

    // In normal use a box is shown for real and nothing of it is kept.
    void messageServiceKeepsNoRecordUnlessScripting() {
        MessageService::stopScripting();
        QString seen;
        WhenModalUp<QMessageBox>([&seen](QMessageBox& box) {
            seen = box.text();
            box.button(QMessageBox::No)->click();
        });
        QCOMPARE(
            MessageService::warning(nullptr, "T", "real", MessageService::Buttons::YesNoCancel),
            MessageService::Answer::No);
        QCOMPARE(seen, QString("real"));
        QVERIFY(MessageService::shown().isEmpty());
    }

    // A caption too long for its button is cut in the middle, its start kept, whole in the
    // tooltip; an "&" in it shows as itself rather than marking a shortcut key.
    void elidedCaptionsKeepBothEndsAndTheirAmpersands() {
        QRadioButton button;
        button.resize(400, 20);
        button.show();  // a hidden widget hears of its new size only once shown
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        ElidedCaption caption(&button);
        const QString whole = QStringLiteral("Group 1 (R&D, the research and development arm)");
        caption.setText(whole, 9);
        QCOMPARE(button.text(), QString(whole).replace("&", "&&"));
        QVERIFY(button.toolTip().isEmpty());
        button.resize(200, 20);
        QVERIFY(button.text().startsWith(QStringLiteral("Group 1 (R")));
        QVERIFY(button.text().endsWith(QStringLiteral("arm)")));
        QVERIFY(button.sizeHint().width() <= button.width());
        QCOMPARE(button.toolTip(), whole);
        QCOMPARE(caption.text(), whole);
    }

    // A text box shows the start of a text set into it, and gives a text too long for it whole
    // in its tooltip.
    void textBoxesShowTheStartOfLongTexts() {
        QLineEdit box;
        box.resize(60, 24);
        new TextStartShown(&box);
        auto tip = [&box] {
            QToolTip::hideText();
            if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return QStringLiteral("?");
            QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(&box, &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        box.setText(QStringLiteral("treatment_with_placebo"));
        QCOMPARE(box.cursorPosition(), 0);
        QCOMPARE(tip(), QStringLiteral("treatment_with_placebo"));
        box.setText(QStringLiteral("a"));
        QCOMPARE(tip(), QString());
    }

    void clipboardEmptiesAndHoldsText() {
        Clipboard::setText("one\r\ntwo");
        QCOMPARE(Clipboard::text(), QString("one\r\ntwo"));
        Clipboard::clear();
        QCOMPARE(Clipboard::text(), QString());
    }

  private:
    QString m_startDir;
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
