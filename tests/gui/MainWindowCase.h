#pragma once

#include <QAction>
#include <QFile>
#include <QObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "data/modGeneral.h"
#include "gui/app/frmMain.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"

// What the tests of the main window start each case with: no data, no box shown, the window up,
// and a temporary folder for the files a case writes. The test class calls startCase() from
// init() and endCase() from cleanup(); controls are found by name, as a user finds them by sight.
class MainWindowCase : public QObject {
  protected:
    std::unique_ptr<frmMain> m_window;
    QTemporaryDir m_dir;

    template <class T>
    T* control(const char* name) const {
        T* w = m_window->findChild<T*>(QString::fromUtf8(name));
        if (w == nullptr) qFatal("no control %s", name);
        return w;
    }
    OutputPane* pane() const { return control<OutputPane>("txtOutput"); }
    QAction* menuItem(const char* name) const { return control<QAction>(name); }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    // Browses to the temporary directory and clicks a file, as the user would.
    void clickFile(const QString& name) {
        auto* dir = control<DirectoryListBox>("dirDirectory");
        QVERIFY(dir->setPath(m_dir.path()));
        auto* files = control<FileListBox>("filFile");
        files->refresh();
        QVERIFY2(files->clickFile(name), qPrintable(name));
    }
    void import() { control<QPushButton>("cmdImportData")->click(); }

    // A window started as the program starts one, with these services.
    void startWindow(frmMainServices services = {}) {
        if (m_window) m_window->m_lngUnloadProgram = 1;
        m_window = std::make_unique<frmMain>(nullptr, std::move(services));
        m_window->Form_Load(std::chrono::milliseconds(0));
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void startCase() {
        QVERIFY(m_dir.isValid());
        MessageService::startScripting();
        corvane::modGeneral::Clear();
        MessageService::clearShown();
        startWindow();
    }

    void endCase() {
        QCOMPARE(MessageService::unansweredCount(), 0);
        // Let the window go without the exit questions.
        m_window->m_lngUnloadProgram = 1;
        m_window.reset();
    }
};
