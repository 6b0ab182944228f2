// What the main window does to keep the user's work: output that was not saved is not replaced
// without a question, and the browser keeps its file type and imports the file chosen in it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

#include "MainWindowCase.h"
#include "NextModal.h"
#include "gui/output/frmSaveOutput.h"

namespace g = corvane::modGeneral;

class TestWorkInSight : public MainWindowCase {
    Q_OBJECT
  private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // Open Output and Clear Output ask before output that was not saved goes; Cancel keeps it
    // to the byte, and Yes saves it first. An empty or saved pane goes without a question.
    void replacingUnsavedOutputAsks() {
        using Answer = MessageService::Answer;
        const QString text = QStringLiteral("REPORT\r\n  1.5\t\r\n\r\n");
        pane()->appendReport(text);
        for (const char* item : {"mnuOpenOutput", "mnuClearOutput"}) {
            MessageService::clearShown();
            MessageService::queueAnswer(Answer::Cancel);
            menuItem(item)->trigger();
            QCOMPARE(MessageService::shown().size(), 1);
            QCOMPARE(MessageService::shown()[0].title, QStringLiteral("Save Output"));
            QCOMPARE(MessageService::shown()[0].text,
                     QStringLiteral("Do you want to save the contents of the output?"));
            QCOMPARE(MessageService::shown()[0].buttons, MessageService::Buttons::YesNoCancel);
            QCOMPARE(pane()->textCrlf(), text);
        }

        // Yes: the save dialog; once saved, the pane is cleared.
        const QString dir = m_dir.path();
        WhenModalUp<frmSaveOutput>([dir](frmSaveOutput& d) {
            d.dirDirectory->setPath(dir);
            d.txtSavedFileName->setText(QStringLiteral("kept"));
            d.cmdSave->click();
        });
        MessageService::queueAnswer(Answer::Yes);
        menuItem("mnuClearOutput")->trigger();
        QCOMPARE(pane()->textCrlf(), QString());
        QFile kept(m_dir.filePath(QStringLiteral("kept.txt")));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), text.toUtf8());

        // An empty pane has nothing to lose: no question.
        MessageService::clearShown();
        menuItem("mnuClearOutput")->trigger();
        QVERIFY(MessageService::shown().isEmpty());
        delete frmSaveOutput::existing();
    }

    // The browser's file type comes back in the next run; a double click or Enter on a file
    // imports it.
    void browserKeepsItsFileTypeAndImportsTheChosenFile() {
        auto settings = std::make_shared<QSettings>(m_dir.filePath(QStringLiteral("types.ini")),
                                                    QSettings::IniFormat);
        frmMainServices services;
        services.settings = settings;
        startWindow(services);
        control<QComboBox>("cmbFileType")->setCurrentIndex(1);
        m_window->cmbFileType_Click();
        startWindow(services);
        QCOMPARE(control<QComboBox>("cmbFileType")->currentIndex(), 1);
        QCOMPARE(control<FileListBox>("filFile")->pattern(), QStringLiteral("*.dat"));

        writeFile("one.dat", "1 2\r\n");
        writeFile("two.dat", "1\r\n2\r\n3\r\n");
        clickFile("one.dat");
        auto* files = control<FileListBox>("filFile");
        // A double click as the desktop delivers it: a click, then the second press.
        const QPoint first = files->visualItemRect(files->item(0)).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(g::Current()->variables(), 2);
        files->setCurrentRow(1);
        QTest::keyClick(files, Qt::Key_Return);
        QCOMPARE(g::Current()->cases(), 3);
        QCOMPARE(control<QLabel>("lblCurrentFile")->text(), QStringLiteral("two.dat"));
        g::Clear();
    }
};

QTEST_MAIN(TestWorkInSight)
#include "test_work_in_sight.moc"
