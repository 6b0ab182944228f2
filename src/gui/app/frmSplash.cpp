#include "gui/app/frmSplash.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "gui/platform/Twips.h"

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const char* family,
                  double points, bool bold, bool highlight) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    QFont f(QString::fromUtf8(family));
    f.setPointSizeF(points);
    f.setBold(bold);
    l->setFont(f);
    if (highlight) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
        l->setPalette(p);
    }
    return l;
}

}  // namespace

frmSplash::frmSplash(QWidget* parent) : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The splash closing before the main window is up must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(Twips::toPixelsX(7380), Twips::toPixelsY(4230));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Twips::place(Frame1, 150, 60, 7080, 4050);

    lblProductName = makeLabel(Frame1, "lblProductName", QStringLiteral("Robust Corvane:"), "Arial",
                               27.75, true, true);
    Twips::place(lblProductName, 240, 720, 5625, 660);
    // The title sizes itself to its text.
    lblProductName->adjustSize();

    lblName2 = makeLabel(Frame1, "lblName2",
                         QStringLiteral("Independent Groups and Non-Pooled Standard Deviations"),
                         "Arial", 15.75, false, true);
    lblName2->setWordWrap(true);
    lblName2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Twips::place(lblName2, 240, 1440, 5415, 1095);

    lblCopyright = makeLabel(Frame1, "lblCopyright",
                             QStringLiteral("Free software, offered without any warranty."),
                             "Arial", 8.25, false, false);
    Twips::place(lblCopyright, 120, 3120, 4812, 252);

    lblCompany =
        makeLabel(Frame1, "lblCompany", QStringLiteral("Written by the Corvane developers"),
                  "Arial", 8.25, false, false);
    Twips::place(lblCompany, 120, 3480, 4812, 252);

    // Keys reach the splash first whatever holds the focus, and the frame reports its clicks.
    Frame1->installEventFilter(this);
    for (QLabel* l : {lblProductName, lblName2, lblCopyright, lblCompany})
        l->installEventFilter(this);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void frmSplash::runStartup(std::chrono::milliseconds wait) {
    QPointer<frmSplash> splash = new frmSplash;
    splash->show();
    splash->raise();
    splash->activateWindow();
    splash->setFocus();
    QElapsedTimer clock;
    clock.start();

    // The wait does not watch the splash: dismissing it does not shorten the start-up.
    for (qint64 left = wait.count() - clock.elapsed(); left > 0;
         left = wait.count() - clock.elapsed()) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    delete splash.data();
}

void frmSplash::dismiss() { close(); }

void frmSplash::keyPressEvent(QKeyEvent* event) {
    // Letters, digits, Enter, Escape, Backspace and the like carry a character; arrows,
    // function keys and modifiers alone do not.
    if (!event->text().isEmpty()) {
        dismiss();
        return;
    }
    QFrame::keyPressEvent(event);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        case QEvent::MouseButtonPress: {
            // A click on a label is the label's: it is not passed on to the frame.
            if (watched != Frame1) return true;
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (Frame1->childAt(mouse->position().toPoint()) == nullptr) dismiss();
            return true;
        }
        default:
            return QFrame::eventFilter(watched, event);
    }
}
