// The output dialogs take a name typed with its folder as it stands, start in the folder last
// used for output and show the folder as it is at each showing.
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include "OutputDialogCase.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/RememberedFolder.h"

class TestOutputFolders : public OutputDialogCase {
    Q_OBJECT
  private slots:
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // A name typed with its folder is used as it stands; the browser then shows that folder.
    // A typed folder is looked into rather than written.
    void typedPathsAreUsedAsTheyStand() {
        QVERIFY(QDir(m_dir).mkpath("results"));
        const QString results = m_dir + "/results";
        m_pane->setTextCrlf("typed\r\n");
        auto* save = frmSaveOutput::instance(m_pane.get(), nullptr);
        save->show();
        save->txtSavedFileName->setText(results + "/run1");
        QTest::mouseClick(save->cmdSave, Qt::LeftButton);
        QCOMPARE(readAll(results + "/run1.txt"), QByteArray("typed\r\n"));
        QCOMPARE(save->dirDirectory->path(), results);
        QCOMPARE(save->txtSavedFileName->text(), QString("run1.txt"));

        save->show();
        QVERIFY(save->dirDirectory->setPath(FileSystemPaths::currentDirectory()));
        save->txtSavedFileName->setText(m_dir);
        QTest::mouseClick(save->cmdSave, Qt::LeftButton);
        QVERIFY(save->isVisible());
        QCOMPARE(save->dirDirectory->path(), m_dir);
        QCOMPARE(save->txtSavedFileName->text(), QString());

        m_pane->setTextCrlf("");
        auto* open = frmOpenOutput::instance(m_pane.get(), nullptr);
        open->show();
        open->txtSelectedFile->setText(results + "/run1.txt");
        QTest::mouseClick(open->cmdOpen, Qt::LeftButton);
        QCOMPARE(m_pane->textCrlf(), QString("typed\r\n"));
        QCOMPARE(open->dirDirectory->path(), results);
        QCOMPARE(open->txtSelectedFile->text(), QString("run1.txt"));
    }

    // Both dialogs start where output was last saved or opened, also in the next run, and show
    // the folder as it is at each showing.
    void dialogsStartInTheFolderLastUsedAndShowItAsItIsNow() {
        auto settings = std::make_shared<QSettings>(m_dir + "/settings.ini", QSettings::IniFormat);
        const RememberedFolder folder(settings, "output/lastFolder");
        QVERIFY(QDir(m_dir).mkpath("out"));
        auto* save = frmSaveOutput::instance(m_pane.get(), nullptr, folder);
        auto* open = frmOpenOutput::instance(m_pane.get(), nullptr, folder);
        open->show();
        open->hide();
        save->show();
        QVERIFY(save->dirDirectory->setPath(m_dir + "/out"));
        save->txtSavedFileName->setText("a");
        QTest::mouseClick(save->cmdSave, Qt::LeftButton);

        open->show();
        QCOMPARE(open->dirDirectory->path(), m_dir + "/out");
        QCOMPARE(open->filFile->fileNames(), QStringList{"a.txt"});
        QVERIFY(open->filFile->clickFile("a.txt"));
        open->hide();
        write(m_dir + "/out/b.txt", "b");
        open->show();
        QCOMPARE(open->filFile->fileNames(), (QStringList{"a.txt", "b.txt"}));
        QCOMPARE(open->filFile->fileName(), QString("a.txt"));

        settings->sync();
        const auto nextRun =
            std::make_shared<QSettings>(m_dir + "/settings.ini", QSettings::IniFormat);
        frmSaveOutput fresh(m_pane.get(), nullptr, RememberedFolder(nextRun, "output/lastFolder"));
        QCOMPARE(fresh.dirDirectory->path(), m_dir + "/out");
    }
};

QTEST_MAIN(TestOutputFolders)
#include "test_output_folders.moc"
