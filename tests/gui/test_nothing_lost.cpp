// Nothing the user has is lost when a file operation fails: a failed import keeps the loaded
// data and the pane, a failed save keeps the file already there and says why, a failed open
// keeps the pane, and the exit still offers to save after a save failed. Driven through the
// real windows, their controls found by name.
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "NextModal.h"
#include "data/import/ImportDataFile.h"
#include "data/modGeneral.h"
#include "gui/app/frmMain.h"
#include "gui/output/OutputPane.h"
#include "gui/output/frmOpenOutput.h"
#include "gui/output/frmSaveOutput.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"

namespace g = corvane::modGeneral;
using Answer = MessageService::Answer;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

template <class T>
T* child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromUtf8(name));
    if (w == nullptr) qFatal("no control %s", name);
    return w;
}

// The superuser writes and reads everywhere; for the length of this object the process acts as
// an ordinary user, so that permissions refuse it as they would refuse the user.
class AsOrdinaryUser {
  public:
    AsOrdinaryUser()
        : m_switched(::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0) {}
    ~AsOrdinaryUser() {
        if (m_switched && (::seteuid(0) != 0 || ::setegid(0) != 0))
            qFatal("cannot become root again");
    }

  private:
    bool m_switched;
};

// Writes beyond `bytes` fail with EFBIG for the length of this object: a save cut off part-way.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    sighandler_t m_oldHandler;
};

struct DataSnapshot {
    std::int32_t cases, variables, rows;
    std::vector<float> cells;
    static DataSnapshot take() {
        const auto data = g::Current();
        DataSnapshot s{data->cases(), data->variables(), data->matrix().rows(), {}};
        for (std::int32_t i = 0; i <= s.cases; ++i)
            for (std::int32_t j = 0; j <= 1000; ++j) s.cells.push_back(data->matrix().at(i, j));
        return s;
    }
    bool operator==(const DataSnapshot&) const = default;
};

}  // namespace

class TestNothingLost : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
    std::unique_ptr<frmMain> m_window;
    // What the window's imports run between their two passes, set by one test at a time.
    std::function<void(const std::string&)> m_betweenPasses;
    QString m_mounted;

    template <class T>
    T* control(const char* name) const {
        return child<T>(m_window.get(), name);
    }
    OutputPane* pane() const { return control<OutputPane>("txtOutput"); }
    void trigger(const char* menuItem) { control<QAction>(menuItem)->trigger(); }

    void clickDataFile(const QString& name) {
        QVERIFY(control<DirectoryListBox>("dirDirectory")->setPath(m_dir));
        control<FileListBox>("filFile")->refresh();
        QVERIFY2(control<FileListBox>("filFile")->clickFile(name), qPrintable(name));
    }
    void importFile(const QString& name) {
        clickDataFile(name);
        control<QPushButton>("cmdImportData")->click();
    }

    // Saves the pane through File > Save Output into dir/name; returns the boxes it showed.
    QList<MessageService::Shown> saveThroughTheMenu(const QString& dir, const QString& name,
                                                    bool cancelAfterFailure = true) {
        MessageService::clearShown();
        WhenModalUp<frmSaveOutput>([=](frmSaveOutput& d) {
            child<DirectoryListBox>(&d, "dirDirectory")->setPath(dir);
            child<QLineEdit>(&d, "txtSavedFileName")->setText(name);
            child<QPushButton>(&d, "cmdSave")->click();
            // A failed save keeps the dialog up for another choice.
            if (d.isVisible() && cancelAfterFailure) child<QPushButton>(&d, "cmdCancel")->click();
        });
        trigger("mnuSaveOutput");
        return MessageService::shown();
    }

    static QString saveFailed(const QString& target, const char* reason) {
        return "The output could not be saved to " + target + " (" + reason +
               "). Any file already there is unchanged.";
    }

    void expectOnlyFiles(const QString& dir, const QStringList& names) {
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
    }

  private slots:
    void initTestCase() { MessageService::startScripting(); }

    void init() {
        MessageService::clearShown();
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_dir = QDir::cleanPath(m_tmp->path());
        // Open to the ordinary user the permission tests act as.
        QVERIFY(QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther));
        g::Clear();
        frmMainServices services;
        services.betweenImportPasses = [this](const std::string& p) {
            if (m_betweenPasses) m_betweenPasses(p);
        };
        m_window = std::make_unique<frmMain>(nullptr, std::move(services));
        m_window->Form_Load(std::chrono::milliseconds(0));
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() {
        m_betweenPasses = nullptr;
        QCOMPARE(MessageService::unansweredCount(), 0);
        delete frmSaveOutput::existing();
        delete frmOpenOutput::existing();
        m_window->m_lngUnloadProgram = 1;
        m_window.reset();
        if (!m_mounted.isEmpty()) ::umount2(QFile::encodeName(m_mounted).constData(), MNT_DETACH);
        m_mounted.clear();
        m_tmp.reset();
    }

    void failedImportKeepsTheDataAndThePane_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("change");  // what happens to the file between the passes
        QTest::newRow("invalid entry") << QByteArray("1 2\r\n3 x\r\n")
                                       << "Row 2 of Column 2 has an invalid entry for analysis."
                                       << "";
        QTest::newRow("beyond single precision")
            << QByteArray("1 2\r\n3 4 1e39\r\n")
            << "Row 2 of Column 3 holds a number too large for analysis."
            << "";
        QByteArray wide = "1";
        for (int i = 2; i <= 100001; ++i) wide += " " + QByteArray::number(i);
        QTest::newRow("100001 fields")
            << "1\r\n" + wide
            << "Row 2 has more than 100000 fields; a data set holds at most 100000 variables."
            << "";
        QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                     << "Row 1 of Column 1 has an invalid entry for analysis."
                                     << "";
        QTest::newRow("vanishes between the passes")
            << QByteArray("1 2\r\n")
            << "The file could not be read: %1 (No such file or directory)."
            << "remove";
        QTest::newRow("grows between the passes")
            << QByteArray("1 2\r\n")
            << "The file changed while it was being read: %1. Nothing was imported."
            << "grow";
    }
    void failedImportKeepsTheDataAndThePane() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, change);
        QVERIFY(writeFile(m_dir + "/good.txt", "1 2 3\r\n4 . 6\r\n\r\n7\r\n"));
        QVERIFY(writeFile(m_dir + "/hostile.txt", bytes));
        importFile("good.txt");
        QCOMPARE(g::Current()->cases(), 4);
        pane()->appendReport("the user's own notes\r\n");
        const QString paneBefore = pane()->textCrlf();
        const DataSnapshot dataBefore = DataSnapshot::take();

        if (change == "remove") {
            m_betweenPasses = [](const std::string& p) { ::unlink(p.c_str()); };
        } else if (change == "grow") {
            m_betweenPasses = [](const std::string& p) {
                writeFile(QFile::decodeName(p.c_str()), "1 2\r\n3 4\r\n");
            };
        }
        MessageService::clearShown();
        importFile("hostile.txt");

        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown()[0].title, QStringLiteral("Data Editor"));
        const QString path = m_dir + "/hostile.txt";
        QCOMPARE(MessageService::shown()[0].text,
                 message.contains("%1") ? message.arg(path) : message);
        QVERIFY(DataSnapshot::take() == dataBefore);
        QCOMPARE(pane()->textCrlf(), paneBefore);
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QStringLiteral("good.txt"));
    }

    void failedSaveKeepsTheOldFileAndSaysWhy() {
        const QString text = QString(200'000, QChar('r')) + "\r\nend";
        pane()->setTextCrlf(text);

        // A read-only file in a read-only directory.
        QVERIFY(QDir(m_dir).mkpath("readonly"));
        const QString readonly = m_dir + "/readonly";
        QVERIFY(writeFile(readonly + "/report.txt", "old report\r\n"));
        QVERIFY(
            QFile::setPermissions(readonly + "/report.txt", QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(
            readonly, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        {
            AsOrdinaryUser user;
            const auto boxes = saveThroughTheMenu(readonly, "report");
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].title, QStringLiteral("Save Output"));
            QCOMPARE(boxes[0].text, saveFailed(readonly + "/report.txt", "Permission denied"));
        }
        QCOMPARE(readAll(readonly + "/report.txt"), QByteArray("old report\r\n"));
        expectOnlyFiles(readonly, {"report.txt"});

        // Cut off part-way by a file size limit.
        QVERIFY(writeFile(m_dir + "/kept.txt", "old contents\r\n"));
        {
            FileSizeLimit limit(64 * 1024);
            const auto boxes = saveThroughTheMenu(m_dir, "kept.txt");
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].text, saveFailed(m_dir + "/kept.txt", "File too large"));
        }
        QCOMPARE(readAll(m_dir + "/kept.txt"), QByteArray("old contents\r\n"));
        expectOnlyFiles(m_dir, {"kept.txt"});

        // A full disk: a tiny file system, where one can be mounted.
        const QString small = m_dir + "/small";
        QVERIFY(QDir(m_dir).mkpath("small"));
        if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=64k") == 0) {
            m_mounted = small;
            QVERIFY(writeFile(small + "/full.txt", "old text on a small disk\r\n"));
            const auto boxes = saveThroughTheMenu(small, "full");
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0].text, saveFailed(small + "/full.txt", "No space left on device"));
            QCOMPARE(readAll(small + "/full.txt"), QByteArray("old text on a small disk\r\n"));
            expectOnlyFiles(small, {"full.txt"});
        } else {
            qWarning("no tmpfs could be mounted: the full disk case is left to the size limit");
        }

        // Through all of it the pane kept its text, and a good place still takes it.
        QCOMPARE(pane()->textCrlf(), text);
        QVERIFY(saveThroughTheMenu(m_dir, "kept.txt").isEmpty());
        QCOMPARE(readAll(m_dir + "/kept.txt"), (text + "\r\n").toUtf8());
    }

    void failedOpenLeavesThePane_data() {
        QTest::addColumn<QString>("change");  // what happens to the file once it was chosen
        QTest::addColumn<QString>("reason");
        QTest::newRow("vanished") << "remove"
                                  << "No such file or directory";
        QTest::newRow("a directory in its place") << "directory"
                                                  << "Is a directory";
        QTest::newRow("unreadable") << "unreadable"
                                    << "Permission denied";
    }
    void failedOpenLeavesThePane() {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        const QString file = m_dir + "/earlier.txt";
        QVERIFY(writeFile(file, "an earlier session\r\n"));
        pane()->setTextCrlf("today's results\r\n");

        WhenModalUp<frmOpenOutput>([&](frmOpenOutput& d) {
            child<DirectoryListBox>(&d, "dirDirectory")->setPath(m_dir);
            QVERIFY(child<FileListBox>(&d, "filFile")->clickFile("earlier.txt"));
            if (change == "remove" || change == "directory") QVERIFY(QFile::remove(file));
            if (change == "directory") QVERIFY(QDir(m_dir).mkdir("earlier.txt"));
            if (change == "unreadable") QVERIFY(QFile::setPermissions(file, {}));
            {
                AsOrdinaryUser user;
                child<QPushButton>(&d, "cmdOpen")->click();
            }
            QVERIFY(d.isVisible());
            child<QPushButton>(&d, "cmdCancel")->click();
        });
        MessageService::queueAnswer(Answer::No);  // the pane's text need not be saved first
        trigger("mnuOpenOutput");

        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(MessageService::shown()[1].title, QStringLiteral("Open Output"));
        QCOMPARE(MessageService::shown()[1].text,
                 "The file could not be opened: " + file + " (" + reason + ").");
        QCOMPARE(pane()->textCrlf(), QStringLiteral("today's results\r\n"));
    }

    void exitStillOffersToSaveAfterASaveFailed() {
        pane()->setTextCrlf("work to keep\r\n");
        QVERIFY(QDir(m_dir).mkpath("taken.txt/inside"));  // a directory where the file would go
        const auto boxes = saveThroughTheMenu(m_dir, "taken");
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, saveFailed(m_dir + "/taken.txt", "Is a directory"));

        // Exit asks to save all the same; the save that fails again keeps the dialog up, and a
        // better name then saves the pane before the program ends.
        MessageService::clearShown();
        WhenModalUp<frmSaveOutput>([this](frmSaveOutput& d) {
            child<DirectoryListBox>(&d, "dirDirectory")->setPath(m_dir);
            child<QLineEdit>(&d, "txtSavedFileName")->setText("taken");
            child<QPushButton>(&d, "cmdSave")->click();
            QVERIFY(d.isVisible());
            child<QLineEdit>(&d, "txtSavedFileName")->setText("free");
            child<QPushButton>(&d, "cmdSave")->click();
        });
        MessageService::queueAnswer(Answer::Yes);  // exit
        MessageService::queueAnswer(Answer::Yes);  // save first
        trigger("mnuExit");
        QStringList texts;
        for (const auto& s : MessageService::shown()) texts << s.text;
        QCOMPARE(texts, (QStringList{"Do you want to exit Corvane?",
                                     "Do you want to save the contents of the output?",
                                     saveFailed(m_dir + "/taken.txt", "Is a directory")}));
        QCOMPARE(readAll(m_dir + "/free.txt"), QByteArray("work to keep\r\n"));
        QCOMPARE(m_window->m_lngUnloadProgram, 1);
        QVERIFY(!m_window->isVisible());
    }

    void exitEndsAfterASaveThatFailedAndWasGivenUp() {
        pane()->setTextCrlf("unsaved\r\n");
        QVERIFY(writeFile(m_dir + "/old.txt", "old\r\n"));
        WhenModalUp<frmSaveOutput>([this](frmSaveOutput& d) {
            child<DirectoryListBox>(&d, "dirDirectory")->setPath(m_dir);
            child<QLineEdit>(&d, "txtSavedFileName")->setText("old");
            {
                FileSizeLimit limit(4);
                child<QPushButton>(&d, "cmdSave")->click();
            }
            child<QPushButton>(&d, "cmdCancel")->click();
        });
        MessageService::queueAnswer(Answer::Yes);
        MessageService::queueAnswer(Answer::Yes);
        trigger("mnuExit");
        QCOMPARE(MessageService::shown().size(), 3);
        QCOMPARE(MessageService::shown()[2].text, saveFailed(m_dir + "/old.txt", "File too large"));
        QCOMPARE(readAll(m_dir + "/old.txt"), QByteArray("old\r\n"));
        expectOnlyFiles(m_dir, {"old.txt"});
        QCOMPARE(m_window->m_lngUnloadProgram, 1);
    }
};

QTEST_MAIN(TestNothingLost)
#include "test_nothing_lost.moc"
