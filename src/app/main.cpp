#include <QApplication>
#include <QLocale>
#include <clocale>

#include "app/frmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Reports always write numbers with "." and no grouping, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    frmMain window;
    QObject::connect(&window, &frmMain::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.Form_Load();
    return app.exec();
}
