#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "KeyWalk.h"
#include "LayoutChecks.h"
#include "NextModal.h"
#include "OutputDialogCase.h"
#include "common/Messages.h"
#include "gui/output/OutputPane.h"
#include "gui/output/frmOpenOutput.h"
#include "gui/output/frmSaveOutput.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/Twips.h"

namespace {

// Deletes what the close box left to be deleted.
void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class TestOutputDialogs : public OutputDialogCase {
    Q_OBJECT
  private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void saveDialogIsLaidOutInTwips() {
        frmSaveOutput dlg(m_pane.get());  // never closed, so never deleted later
        QCOMPARE(dlg.objectName(), QString("frmSaveOutput"));
        QCOMPARE(dlg.windowTitle(), QString("Save Output"));
        QCOMPARE(dlg.size(), QSize(Twips::toPixelsX(5595), Twips::toPixelsY(3825)));
        QCOMPARE(layoutFault(&dlg), QString());
        QCOMPARE(dlg.filFile->pattern(), QString("*.txt"));
        QCOMPARE(dlg.lblFileName->text(), QString("File name:"));
        QCOMPARE(dlg.txtSavedFileName->text(), QString());
        QCOMPARE(dlg.dirDirectory->path(), FileSystemPaths::currentDirectory());
        for (const char* name : {"drvDrive", "dirDirectory", "filFile", "txtSavedFileName",
                                 "lblFileName", "cmdSave", "cmdCancel"}) {
            QVERIFY2(dlg.findChild<QWidget*>(name), name);
        }
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));

        // Focus starts on the drive list and tabs in the order of the table.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(dlg.focusWidget(), dlg.drvDrive);
        QWidget* order[] = {dlg.dirDirectory, dlg.filFile, dlg.txtSavedFileName, dlg.cmdSave,
                            dlg.cmdCancel};
        for (QWidget* next : order) {
            QTest::keyClick(dlg.focusWidget(), Qt::Key_Tab);
            QCOMPARE(dlg.focusWidget(), next);
        }
    }

    void openDialogIsLaidOutInTwips() {
        frmOpenOutput dlg(m_pane.get());  // never closed, so never deleted later
        QCOMPARE(dlg.objectName(), QString("frmOpenOutput"));
        QCOMPARE(dlg.windowTitle(), QString("Open Output"));
        QCOMPARE(dlg.size(), QSize(Twips::toPixelsX(5535), Twips::toPixelsY(3840)));
        QCOMPARE(layoutFault(&dlg), QString());
        QCOMPARE(dlg.filFile->pattern(), QString("*.txt"));
        QCOMPARE(dlg.txtSelectedFile->text(), QString());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(dlg.focusWidget(), dlg.cmdCancel);
        QTest::keyClick(dlg.cmdCancel, Qt::Key_Tab);
        QCOMPARE(dlg.focusWidget(), dlg.cmdOpen);
        QTest::keyClick(dlg.cmdOpen, Qt::Key_Tab);
        QCOMPARE(dlg.focusWidget(), dlg.filFile);
    }

    void saveAddsTxtUnlessTheNameEndsInIt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("bare") << "report"
                              << "report.txt";
        QTest::newRow("with .txt") << "report.txt"
                                   << "report.txt";
        QTest::newRow("other case") << "report.TXT"
                                    << "report.TXT.txt";
        QTest::newRow("other extension") << "data.dat"
                                         << "data.dat.txt";
        QTest::newRow("only the extension") << ".txt"
                                            << ".txt";
        QTest::newRow("shorter than four") << "a"
                                           << "a.txt";
        QTest::newRow("blanks are a name") << "  "
                                           << "  .txt";
    }
    void saveAddsTxtUnlessTheNameEndsInIt() {
        QFETCH(QString, name);
        QFETCH(QString, written);
        auto* dlg = frmSaveOutput::instance(m_pane.get(), nullptr);
        m_pane->setTextCrlf("A\r\nB");
        dlg->show();
        QVERIFY(dlg->dirDirectory->setPath(m_dir));
        QCOMPARE(dlg->filFile->path(), m_dir);
        dlg->txtSavedFileName->setText(name);
        QSignalSpy saved(dlg, &frmSaveOutput::saved);
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);

        QCOMPARE(readAll(m_dir + "/" + written), QByteArray("A\r\nB\r\n"));
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).size(), 1);
        QVERIFY(dlg->isHidden());
        QCOMPARE(saved.count(), 1);
        QCOMPARE(saved.at(0).at(0).toString(), m_dir + "/" + written);
        QVERIFY(MessageService::shown().isEmpty());
    }

    void saveWritesThePaneAndKeepsItsStateForTheNextShowing() {
        auto* dlg = frmSaveOutput::instance(m_pane.get(), nullptr);
        QVERIFY(QDir(m_dir).mkpath("sub"));
        write(m_dir + "/sub/old.txt", "previous contents, longer than the new ones\r\n");
        dlg->show();
        QVERIFY(dlg->dirDirectory->setPath(m_dir + "/sub"));
        QCOMPARE(dlg->filFile->fileNames(), QStringList({"old.txt"}));

        // Clicking a listed file puts its name in the field; saving replaces it unasked.
        QVERIFY(dlg->filFile->clickFile("old.txt"));
        QCOMPARE(dlg->txtSavedFileName->text(), QString("old.txt"));
        m_pane->setTextCrlf("");
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        QCOMPARE(readAll(m_dir + "/sub/old.txt"), QByteArray("\r\n"));
        QVERIFY(dlg->isHidden());
        QVERIFY(MessageService::shown().isEmpty());

        // Shown again: the same instance, directory and name.
        QCOMPARE(frmSaveOutput::instance(m_pane.get(), nullptr), dlg);
        dlg->show();
        QCOMPARE(dlg->dirDirectory->path(), m_dir + "/sub");
        QCOMPARE(dlg->txtSavedFileName->text(), QString("old.txt"));

        // A new file shows up in the list once saved.
        dlg->txtSavedFileName->setText("new");
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        QCOMPARE(dlg->filFile->fileNames(), QStringList({"new.txt", "old.txt"}));
    }

    void emptyNameWarnsAndHides() {
        auto* dlg = frmSaveOutput::instance(m_pane.get(), nullptr);
        dlg->show();
        QVERIFY(dlg->dirDirectory->setPath(m_dir));
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown()[0].title, QString("Save Output"));
        QCOMPARE(MessageService::shown()[0].text, QString("A file name has not been provided."));
        QCOMPARE(MessageService::shown()[0].buttons, MessageService::Buttons::Ok);
        QVERIFY(dlg->isHidden());
        QVERIFY(QDir(m_dir).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void failedSaveKeepsTheOldFileAndTheDialog() {
        auto* dlg = frmSaveOutput::instance(m_pane.get(), nullptr);
        m_pane->setTextCrlf("new text");
        dlg->show();
        QVERIFY(dlg->dirDirectory->setPath(m_dir));

        // A directory in the way of the target cannot be replaced, even by the superuser.
        QVERIFY(QDir(m_dir).mkpath("report.txt"));
        write(m_dir + "/report.txt/inside", "kept");
        dlg->txtSavedFileName->setText("report");
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        QVERIFY(dlg->isVisible());
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown()[0].title, QString("Save Output"));
        QVERIFY(MessageService::shown()[0].text.startsWith(
            QString::fromStdString(
                corvane::msg::SaveFailed(m_dir.toStdString() + "/report.txt", ""))
                .section('(', 0, 0)));
        QCOMPARE(readAll(m_dir + "/report.txt/inside"), QByteArray("kept"));
        QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), QStringList());

        // A read-only file in a read-only directory (the superuser writes there all the same, so
        // only as a user).
        if (::geteuid() == 0) return;
        write(m_dir + "/old.txt", "old");
        QVERIFY(QFile::setPermissions(m_dir + "/old.txt", QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner));
        dlg->txtSavedFileName->setText("old.txt");
        QTest::mouseClick(dlg->cmdSave, Qt::LeftButton);
        QVERIFY(
            QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(dlg->isVisible());
        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(readAll(m_dir + "/old.txt"), QByteArray("old"));
    }

    void openReadsEveryLineWithCrLf() {
        write(m_dir + "/two.txt", "A\r\nB");
        write(m_dir + "/mixed.txt", "one\rtwo\r\n\r\nthree\r\n");
        write(m_dir + "/empty.txt", "");
        auto* dlg = frmOpenOutput::instance(m_pane.get(), nullptr);
        dlg->show();
        QVERIFY(dlg->dirDirectory->setPath(m_dir));
        QCOMPARE(dlg->filFile->fileNames(), QStringList({"empty.txt", "mixed.txt", "two.txt"}));

        m_pane->setTextCrlf("before");
        QSignalSpy opened(dlg, &frmOpenOutput::opened);
        QVERIFY(dlg->filFile->clickFile("two.txt"));
        QCOMPARE(dlg->txtSelectedFile->text(), QString("two.txt"));
        QTest::mouseClick(dlg->cmdOpen, Qt::LeftButton);
        QCOMPARE(m_pane->textCrlf(), QString("A\r\nB\r\n"));
        QVERIFY(dlg->isHidden());
        QCOMPARE(opened.count(), 1);

        dlg->show();
        QCOMPARE(dlg->txtSelectedFile->text(), QString("two.txt"));  // kept while hidden
        QVERIFY(dlg->filFile->clickFile("mixed.txt"));
        QTest::mouseClick(dlg->cmdOpen, Qt::LeftButton);
        QCOMPARE(m_pane->textCrlf(), QString("one\r\ntwo\r\n\r\nthree\r\n"));

        dlg->show();
        QVERIFY(dlg->filFile->clickFile("empty.txt"));
        QTest::mouseClick(dlg->cmdOpen, Qt::LeftButton);
        QCOMPARE(m_pane->textCrlf(), QString());
        QVERIFY(MessageService::shown().isEmpty());
    }

    void saveOpenSaveGivesTheSameBytesAndMarksThePaneSaved() {
        m_pane->setTextCrlf("HEADING\r\n-------\r\nVar 1   2.5\r\n\r\n");
        QVERIFY(m_pane->holdsUnsavedOutput());
        auto* save = frmSaveOutput::instance(m_pane.get(), nullptr);
        save->show();
        QVERIFY(save->dirDirectory->setPath(m_dir));
        save->txtSavedFileName->setText("round");
        QTest::mouseClick(save->cmdSave, Qt::LeftButton);
        const QByteArray first = readAll(m_dir + "/round.txt");
        QCOMPARE(first, QByteArray("HEADING\r\n-------\r\nVar 1   2.5\r\n\r\n"));
        QVERIFY(!m_pane->holdsUnsavedOutput());

        m_pane->setTextCrlf("something else");
        auto* open = frmOpenOutput::instance(m_pane.get(), nullptr);
        open->show();
        QVERIFY(open->dirDirectory->setPath(m_dir));
        QVERIFY(open->filFile->clickFile("round.txt"));
        QTest::mouseClick(open->cmdOpen, Qt::LeftButton);
        QVERIFY(!m_pane->holdsUnsavedOutput());
        save->show();
        QTest::mouseClick(save->cmdSave, Qt::LeftButton);
        QCOMPARE(readAll(m_dir + "/round.txt"), first);
    }

    void openWithNothingChosenWarnsAndKeepsThePane() {
        m_pane->setTextCrlf("kept\r\n");
        auto* dlg = frmOpenOutput::instance(m_pane.get(), nullptr);
        dlg->show();
        QTest::mouseClick(dlg->cmdOpen, Qt::LeftButton);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown()[0].title, QString("Open Output"));
        QCOMPARE(MessageService::shown()[0].text, QString("A file has not been selected."));
        QVERIFY(dlg->isHidden());
        QCOMPARE(m_pane->textCrlf(), QString("kept\r\n"));
    }

    void buttonsThatBreakDownKeepThePaneAndTheDialog() {
        m_pane->setTextCrlf("kept\r\n");
        auto* open = frmOpenOutput::instance(m_pane.get(), nullptr);
        auto* save = frmSaveOutput::instance(m_pane.get(), nullptr);
        for (QDialog* dlg : {static_cast<QDialog*>(open), static_cast<QDialog*>(save)}) {
            MessageService::clearShown();
            dlg->show();
            MessageService::queueFailure();  // the button's own box runs out of memory
            QTest::mouseClick(dlg == open ? open->cmdOpen : save->cmdSave, Qt::LeftButton);
            QCOMPARE(MessageService::shown().size(), 2);
            QCOMPARE(MessageService::shown()[1].title, dlg->windowTitle());
            QCOMPARE(MessageService::shown()[1].text,
                     QString("There is not enough memory to complete this command."));
            QVERIFY(dlg->isVisible());
            QCOMPARE(m_pane->textCrlf(), QString("kept\r\n"));
            // Space presses the focused button, here Cancel; Enter and Escape press none.
            QCOMPARE(spaceOnlyPresses(dlg, dlg == open ? open->cmdCancel : save->cmdCancel),
                     QString());
            QVERIFY(dlg->isHidden());
        }
    }

    void failedOpenLeavesThePaneAsItWas() {
        QVERIFY(QDir(m_dir).mkpath("elsewhere"));
        write(m_dir + "/found.txt", "file text");
        m_pane->setTextCrlf("pane text\r\n");
        m_pane->appendReport("report\r\n");
        auto* dlg = frmOpenOutput::instance(m_pane.get(), nullptr);
        dlg->show();
        QVERIFY(dlg->dirDirectory->setPath(m_dir));
        QVERIFY(dlg->filFile->clickFile("found.txt"));

        // The chosen name is looked for in the directory shown now, where it is not.
        QVERIFY(dlg->dirDirectory->setPath(m_dir + "/elsewhere"));
        QCOMPARE(dlg->txtSelectedFile->text(), QString("found.txt"));
        QTest::mouseClick(dlg->cmdOpen, Qt::LeftButton);
        QVERIFY(dlg->isVisible());
        QCOMPARE(m_pane->textCrlf(), QString("pane text\r\nreport\r\n"));
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown()[0].title, QString("Open Output"));
        QVERIFY(MessageService::shown()[0].text.contains(m_dir + "/elsewhere/found.txt"));

        // Back where it is, the same choice opens.
        QVERIFY(dlg->dirDirectory->setPath(m_dir));
        QTest::mouseClick(dlg->cmdOpen, Qt::LeftButton);
        QVERIFY(dlg->isHidden());
        QCOMPARE(m_pane->textCrlf(), QString("file text\r\n"));
    }

    void escapeAndEnterPressNoButton() {
        auto* dlg = frmSaveOutput::instance(m_pane.get(), nullptr);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        QVERIFY(dlg->dirDirectory->setPath(m_dir));
        dlg->txtSavedFileName->setFocus();
        QTest::keyClicks(dlg->txtSavedFileName, "typed");
        QTest::keyClick(dlg->txtSavedFileName, Qt::Key_Return);
        QTest::keyClick(dlg->txtSavedFileName, Qt::Key_Escape);
        QVERIFY(dlg->isVisible());
        QVERIFY(QDir(m_dir).entryList(QDir::Files).isEmpty());

        auto* open = frmOpenOutput::instance(m_pane.get(), nullptr);
        dlg->hide();
        open->show();
        QVERIFY(QTest::qWaitForWindowActive(open));
        QTest::keyClick(open->focusWidget(), Qt::Key_Escape);
        QTest::keyClick(open->focusWidget(), Qt::Key_Return);
        QVERIFY(open->isVisible());
        QVERIFY(MessageService::shown().isEmpty());
    }

    void closeBoxDestroysAndTheNextShowingStartsAfresh() {
        auto* dlg = frmSaveOutput::instance(m_pane.get(), nullptr);
        dlg->show();
        QVERIFY(dlg->dirDirectory->setPath(m_dir));
        dlg->txtSavedFileName->setText("name");
        QPointer<frmSaveOutput> watch(dlg);
        QVERIFY(dlg->close());
        flushDeletes();
        QVERIFY(watch.isNull());
        QVERIFY(!frmSaveOutput::existing());
        QVERIFY(MessageService::shown().isEmpty());

        auto* fresh = frmSaveOutput::instance(m_pane.get(), nullptr);
        QCOMPARE(fresh->txtSavedFileName->text(), QString());
        QCOMPARE(fresh->dirDirectory->path(), FileSystemPaths::currentDirectory());

        auto* open = frmOpenOutput::instance(m_pane.get(), nullptr);
        open->show();
        QPointer<frmOpenOutput> watchOpen(open);
        QVERIFY(open->close());
        flushDeletes();
        QVERIFY(watchOpen.isNull());
        QVERIFY(!frmOpenOutput::existing());
    }

    void modalShowingReturnsOnceTheDialogHides() {
        // Cancel: the call returns, nothing written, the instance kept.
        WhenModalUp<frmSaveOutput>([](frmSaveOutput& d) {
            QVERIFY(d.isVisible());
            QVERIFY(d.isModal());
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        });
        frmSaveOutput::showModal(m_pane.get(), nullptr);
        QVERIFY(frmSaveOutput::existing());
        QVERIFY(frmSaveOutput::existing()->isHidden());

        // Save from inside the modal loop.
        m_pane->setTextCrlf("modal");
        const QString dir = m_dir;
        WhenModalUp<frmSaveOutput>([dir](frmSaveOutput& d) {
            d.dirDirectory->setPath(dir);
            d.txtSavedFileName->setText("m");
            QTest::mouseClick(d.cmdSave, Qt::LeftButton);
        });
        frmSaveOutput::showModal(m_pane.get(), nullptr);
        QCOMPARE(readAll(m_dir + "/m.txt"), QByteArray("modal\r\n"));

        // The close box ends the showing too, and the instance with it.
        WhenModalUp<frmOpenOutput>([](frmOpenOutput& d) { d.close(); });
        frmOpenOutput::showModal(m_pane.get(), nullptr);
        flushDeletes();
        QVERIFY(!frmOpenOutput::existing());
        QCOMPARE(m_pane->textCrlf(), QString("modal"));
    }
};

QTEST_MAIN(TestOutputDialogs)
#include "test_output_dialogs.moc"
