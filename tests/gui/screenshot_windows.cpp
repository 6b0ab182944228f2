// Opens every window of the program the way a user would and writes a PNG of each into the
// directory given as the first argument. Modal windows are caught once they are up, pictured
// and closed again.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <cstdio>

#include "DarkPalette.h"
#include "gui/app/frmMain.h"
#include "gui/app/frmSplash.h"
#include "gui/platform/FileSystemLists.h"

namespace {

QString g_outDir;
int g_written = 0;

void save(QWidget* w, const QString& name) {
    const QString path = QDir(g_outDir).filePath(name + QStringLiteral(".png"));
    if (w->grab().save(path)) {
        ++g_written;
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    }
}

// Triggers a menu item and pictures the modal window it opens, then dismisses that window.
void pictureModal(frmMain& window, const char* item, const QString& name) {
    QAction* action = window.findChild<QAction*>(QString::fromUtf8(item));
    if (action == nullptr) return;
    bool seen = false;
    auto* poll = new QTimer;
    poll->setInterval(50);
    int tries = 0;
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            if (++tries > 60) poll->stop();
            return;
        }
        poll->stop();
        seen = true;
        QApplication::processEvents();
        save(modal, name);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->hide();
    });
    poll->start();
    action->trigger();
    poll->stop();
    delete poll;
    if (!seen) std::fprintf(stderr, "%s opened no window\n", item);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    g_outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_outDir);

    QTemporaryDir data;
    {
        QFile f(data.filePath(QStringLiteral("scores.txt")));
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write("1 12.5 3\r\n1 14 2\r\n2 9.25 4\r\n2 11 .\r\n1 13.75 5\r\n2 10.5 1\r\n");
    }

    {
        auto* splash = new frmSplash;
        splash->show();
        QApplication::processEvents();
        save(splash, QStringLiteral("frmSplash"));
        delete splash;
    }

    frmMain window;
    window.Form_Load(std::chrono::milliseconds(0));
    QApplication::processEvents();
    save(&window, QStringLiteral("frmMain-start"));

    window.findChild<DirectoryListBox*>(QStringLiteral("dirDirectory"))->setPath(data.path());
    window.findChild<FileListBox*>(QStringLiteral("filFile"))
        ->clickFile(QStringLiteral("scores.txt"));
    window.findChild<QPushButton*>(QStringLiteral("cmdImportData"))->click();
    QApplication::processEvents();
    save(&window, QStringLiteral("frmMain-imported"));

    // Under a dark theme the names stay readable.
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    QApplication::processEvents();
    save(&window, QStringLiteral("frmMain-dark"));
    QApplication::setPalette(light);
    QApplication::processEvents();

    const QSize normal = window.size();
    window.resize(300, 200);  // snaps back to the lowest height; the frames keep 9000 twips
    QApplication::processEvents();
    save(&window, QStringLiteral("frmMain-small"));
    window.resize(normal);
    QApplication::processEvents();

    pictureModal(window, "mnuSaveOutput", QStringLiteral("frmSaveOutput"));
    pictureModal(window, "mnuOpenOutput", QStringLiteral("frmOpenOutput"));
    pictureModal(window, "mnuCorvane", QStringLiteral("frmCorvane"));
    pictureModal(window, "mnuDescriptives", QStringLiteral("frmDescriptives"));
    pictureModal(window, "mnuNavigateDataFile", QStringLiteral("frmNavigate"));
    // The data table stands beside the main window rather than blocking it.
    window.findChild<QAction*>(QStringLiteral("mnuDataTable"))->trigger();
    QApplication::processEvents();
    if (QWidget* table = window.findChild<QWidget*>(QStringLiteral("frmDataTable"))) {
        save(table, QStringLiteral("frmDataTable"));
        table->close();
    }
    pictureModal(window, "mnuExit", QStringLiteral("exit-question"));

    window.m_lngUnloadProgram = 1;
    window.close();
    std::printf("%d pictures\n", g_written);
    return g_written > 0 ? 0 : 1;
}
