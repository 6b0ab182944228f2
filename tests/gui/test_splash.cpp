#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "gui/app/frmMain.h"
#include "gui/app/frmSplash.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/MessageService.h"

class TestSplash : public QObject {
    Q_OBJECT

  private:
    // A splash as the start-up shows it.
    static QPointer<frmSplash> shownSplash() {
        QPointer<frmSplash> s = new frmSplash;
        s->show();
        if (!QTest::qWaitForWindowExposed(s)) qFatal("splash not exposed");
        return s;
    }
    // Destroyed, or about to be once the deferred deletions have run; hidden at once either way.
    static bool gone(const QPointer<frmSplash>& s) {
        if (s && s->isVisible()) return false;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return s.isNull();
    }
    // Runs `step` once the start-up's splash is up, polled from inside its wait.
    template <class Step>
    static void whenSplashUp(Step step) {
        auto* timer = new QTimer(qApp);
        timer->setInterval(2);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, step]() mutable {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* splash = qobject_cast<frmSplash*>(w);
                if (splash == nullptr || !splash->isVisible()) continue;
                timer->stop();
                timer->deleteLater();
                step(*splash);
                return;
            }
        });
        timer->start();
    }
    static int splashesAlive() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmSplash*>(w)) ++n;
        return n;
    }

  private slots:
    void initTestCase() { MessageService::startScripting(); }
    void cleanup() { QCOMPARE(splashesAlive(), 0); }

    void showsItsTextsAtTheirPlaces() {
        QPointer<frmSplash> s = new frmSplash;
        QVERIFY(!s->isVisible());
        QCOMPARE(s->lblProductName->text(), QStringLiteral("Robust Corvane:"));
        QCOMPARE(s->lblName2->text(),
                 QStringLiteral("Independent Groups and Non-Pooled Standard Deviations"));
        QCOMPARE(s->lblCompany->text(), QStringLiteral("Written by the Corvane developers"));
        QVERIFY(!s->lblCopyright->text().isEmpty());
        QVERIFY(s->lblName2->wordWrap());
        QVERIFY(s->lblProductName->font().bold());
        QVERIFY(s->windowFlags() & Qt::FramelessWindowHint);
        for (QLabel* l : {s->lblProductName, s->lblName2, s->lblCopyright, s->lblCompany}) {
            QCOMPARE(l->parentWidget(), s->Frame1);
            // Every label fits inside the frame.
            QVERIFY2(s->Frame1->rect().contains(l->geometry()), qPrintable(l->objectName()));
        }
        QVERIFY(s->rect().contains(s->Frame1->geometry()));
        delete s;
    }

    void characterKeysDismiss_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("letter") << int(Qt::Key_A) << QStringLiteral("a");
        QTest::newRow("digit") << int(Qt::Key_7) << QStringLiteral("7");
        QTest::newRow("Enter") << int(Qt::Key_Return) << QStringLiteral("\r");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << QStringLiteral("\x1b");
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << QStringLiteral("\b");
        QTest::newRow("space") << int(Qt::Key_Space) << QStringLiteral(" ");
    }
    void characterKeysDismiss() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QPointer<frmSplash> s = shownSplash();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(s, &press);
        QVERIFY(gone(s));
    }

    void otherKeysLeaveItUp_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("arrow") << int(Qt::Key_Left);
        QTest::newRow("function key") << int(Qt::Key_F1);
        QTest::newRow("Shift alone") << int(Qt::Key_Shift);
        QTest::newRow("Home") << int(Qt::Key_Home);
    }
    void otherKeysLeaveItUp() {
        QFETCH(int, key);
        QPointer<frmSplash> s = shownSplash();
        QTest::keyClick(s.data(), Qt::Key(key));
        QVERIFY(!gone(s));
        delete s.data();
    }

    void keysReachTheSplashWhateverHasTheFocus() {
        QPointer<frmSplash> s = shownSplash();
        QTest::keyClick(s->Frame1, Qt::Key_Q);
        QVERIFY(gone(s));
    }

    void onlyAClickOnTheFrameDismisses() {
        QPointer<frmSplash> s = shownSplash();
        for (QLabel* l : {s->lblProductName, s->lblName2, s->lblCopyright, s->lblCompany}) {
            QTest::mouseClick(l, Qt::LeftButton, {}, QPoint(2, 2));
            QVERIFY2(!gone(s), qPrintable(l->objectName()));
        }
        // The margin between the window's edge and the frame.
        QTest::mouseClick(s.data(), Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(!gone(s));

        // An empty part of the frame, right of every label.
        QTest::mouseClick(s->Frame1, Qt::LeftButton, {},
                          QPoint(s->Frame1->width() - 8, s->Frame1->height() / 2));
        QVERIFY(gone(s));
    }

    void startupWaitsItsTimeEvenWhenDismissed() {
        bool wasVisible = false;
        whenSplashUp([&wasVisible](frmSplash& s) {
            wasVisible = s.isVisible();
            QTest::keyClick(&s, Qt::Key_X);
        });
        QElapsedTimer clock;
        clock.start();
        frmSplash::runStartup(std::chrono::milliseconds(300));
        QVERIFY(wasVisible);
        QVERIFY(clock.elapsed() >= 300);
        QCOMPARE(splashesAlive(), 0);
    }

    void startupDestroysTheSplashItShowed() {
        QPointer<frmSplash> seen;
        whenSplashUp([&seen](frmSplash& s) { seen = &s; });
        frmSplash::runStartup(std::chrono::milliseconds(50));
        QVERIFY(seen.isNull());
    }

    void mainWindowAppearsOnlyAfterTheSplash() {
        frmMain window;
        bool mainVisibleDuringSplash = true;
        int typesDuringSplash = -1;
        QString patternDuringSplash;
        whenSplashUp([&](frmSplash&) {
            mainVisibleDuringSplash = window.isVisible();
            typesDuringSplash =
                window.findChild<QComboBox*>(QStringLiteral("cmbFileType"))->count();
            patternDuringSplash =
                window.findChild<FileListBox*>(QStringLiteral("filFile"))->pattern();
        });
        window.Form_Load(std::chrono::milliseconds(50));
        QVERIFY(!mainVisibleDuringSplash);
        QCOMPARE(typesDuringSplash, 0);
        QCOMPARE(patternDuringSplash, QStringLiteral("*.txt"));
        QVERIFY(window.isVisible());
        QCOMPARE(splashesAlive(), 0);
        window.m_lngUnloadProgram = 1;
    }
};

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
