#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <clocale>
#include <memory>

#include "gui/app/frmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Names the installed desktop entry, so the desktop shows its icon and name for the windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.corvane.Corvane"));
    // Reports always write numbers with "." and no grouping, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    frmMainServices services;
    services.settings =
        std::make_shared<QSettings>(QStringLiteral("Corvane"), QStringLiteral("Corvane"));
    frmMain window(nullptr, std::move(services));
    QObject::connect(&window, &frmMain::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.Form_Load();
    window.importAtStart(QCoreApplication::arguments());
    return app.exec();
}
