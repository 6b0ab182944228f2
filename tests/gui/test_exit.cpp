#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "NextModal.h"
#include "gui/app/frmMain.h"
#include "gui/output/OutputPane.h"
#include "gui/output/frmSaveOutput.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"

using Answer = MessageService::Answer;

class TestExit : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<frmMain> m_window;
    std::unique_ptr<QSignalSpy> m_ended;

    void exitFromTheMenu() { m_window->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger(); }
    void answers(std::initializer_list<Answer> list) {
        for (Answer a : list) MessageService::queueAnswer(a);
    }
    // The questions asked so far, as "title|text".
    QStringList questions() const {
        QStringList out;
        for (const auto& s : MessageService::shown()) {
            const bool yesNoCancel = s.buttons == MessageService::Buttons::YesNoCancel;
            out << s.title + "|" + s.text + (yesNoCancel ? "" : " (not Yes/No/Cancel)");
        }
        return out;
    }
    static QString exitQuestion() { return "Corvane|Do you want to exit Corvane?"; }
    static QString saveQuestion() {
        return "Save Output|Do you want to save the contents of the output?";
    }
    void expectRunning() {
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->m_lngUnloadProgram, 0);
        QCOMPARE(m_ended->count(), 0);
    }
    void expectEnded() {
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->m_lngUnloadProgram, 1);
        QCOMPARE(m_ended->count(), 1);
    }

  private slots:
    void initTestCase() { MessageService::startScripting(); }

    void init() {
        MessageService::clearShown();
        m_window = std::make_unique<frmMain>();
        m_ended = std::make_unique<QSignalSpy>(m_window.get(), &frmMain::programEnded);
        m_window->Form_Load(std::chrono::milliseconds(0));
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->outputPane()->setTextCrlf(QStringLiteral("result\r\n"));
    }

    void cleanup() {
        QCOMPARE(MessageService::unansweredCount(), 0);
        if (frmSaveOutput* d = frmSaveOutput::existing()) delete d;
        m_window->m_lngUnloadProgram = 1;
        m_ended.reset();
        m_window.reset();
    }

    void noOrCancelToExitKeepsRunning_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("No") << Answer::No;
        QTest::newRow("Cancel") << Answer::Cancel;
    }
    void noOrCancelToExitKeepsRunning() {
        QFETCH(Answer, answer);
        answers({answer});
        exitFromTheMenu();
        QCOMPARE(questions(), QStringList{exitQuestion()});
        expectRunning();
    }

    void cancelToSavingKeepsRunning() {
        answers({Answer::Yes, Answer::Cancel});
        exitFromTheMenu();
        QCOMPARE(questions(), (QStringList{exitQuestion(), saveQuestion()}));
        expectRunning();
        // No save dialog was asked for.
        QVERIFY(frmSaveOutput::existing() == nullptr);
    }

    void noToSavingEndsWithoutSaving() {
        answers({Answer::Yes, Answer::No});
        exitFromTheMenu();
        QCOMPARE(questions(), (QStringList{exitQuestion(), saveQuestion()}));
        QVERIFY(frmSaveOutput::existing() == nullptr);
        expectEnded();
    }

    void cancelledSaveDialogStillEnds() {
        bool shown = false;
        WhenModalUp<frmSaveOutput>([&shown](frmSaveOutput& d) {
            shown = d.isVisible();
            d.cmdCancel->click();
        });
        answers({Answer::Yes, Answer::Yes});
        exitFromTheMenu();
        QVERIFY(shown);
        QCOMPARE(questions(), (QStringList{exitQuestion(), saveQuestion()}));
        expectEnded();
    }

    void aSaveThatBreaksDownKeepsTheProgramRunning() {
        bool stayed = false;
        WhenModalUp<frmSaveOutput>([&stayed](frmSaveOutput& d) {
            d.txtSavedFileName->clear();
            MessageService::queueFailure();  // the save's own box runs out of memory
            d.cmdSave->click();
            stayed = d.isVisible();
            d.cmdCancel->click();
        });
        answers({Answer::Yes, Answer::Yes});
        exitFromTheMenu();
        QVERIFY(stayed);
        QCOMPARE(questions(),
                 (QStringList{exitQuestion(), saveQuestion(),
                              "Save Output|A file name has not been provided. (not Yes/No/Cancel)",
                              "Save Output|There is not enough memory to complete this command. "
                              "(not Yes/No/Cancel)"}));
        expectRunning();
        QCOMPARE(m_window->outputPane()->textCrlf(), QString("result\r\n"));

        // Asked again, the exit goes through as ever.
        MessageService::clearShown();
        answers({Answer::Yes, Answer::No});
        exitFromTheMenu();
        expectEnded();
    }

    void savingBeforeExitWritesThePane() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WhenModalUp<frmSaveOutput>([&dir](frmSaveOutput& d) {
            d.dirDirectory->setPath(dir.path());
            d.txtSavedFileName->setText(QStringLiteral("session"));
            d.cmdSave->click();
        });
        answers({Answer::Yes, Answer::Yes});
        exitFromTheMenu();
        expectEnded();
        QFile saved(dir.filePath(QStringLiteral("session.txt")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("result\r\n"));
    }

    void closeBoxAsksTheSameQuestions() {
        answers({Answer::No});
        QVERIFY(!m_window->close());
        QCOMPARE(questions(), QStringList{exitQuestion()});
        expectRunning();

        MessageService::clearShown();
        answers({Answer::Yes, Answer::Cancel});
        QVERIFY(!m_window->close());
        QCOMPARE(questions(), (QStringList{exitQuestion(), saveQuestion()}));
        expectRunning();

        // Confirmed from the close box: the window closes once.
        MessageService::clearShown();
        answers({Answer::Yes, Answer::No});
        QVERIFY(m_window->close());
        QCOMPARE(questions(), (QStringList{exitQuestion(), saveQuestion()}));
        expectEnded();
    }

    void confirmedExitIsFinal() {
        answers({Answer::Yes, Answer::No});
        exitFromTheMenu();
        expectEnded();
        // Once confirmed, a later close goes through without a question.
        MessageService::clearShown();
        m_window->show();
        QVERIFY(m_window->close());
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(m_ended->count(), 1);
    }

    void hiddenDialogsDoNotKeepTheProgramAlive() {
        // The save dialog used and hidden, then a confirmed exit.
        WhenModalUp<frmSaveOutput>([](frmSaveOutput& d) { d.cmdCancel->click(); });
        m_window->findChild<QAction*>(QStringLiteral("mnuSaveOutput"))->trigger();
        QVERIFY(frmSaveOutput::existing() != nullptr);
        QVERIFY(!frmSaveOutput::existing()->isVisible());

        answers({Answer::Yes, Answer::No});
        exitFromTheMenu();
        expectEnded();
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }
};

QTEST_MAIN(TestExit)
#include "test_exit.moc"
