#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message box of the program goes through here: a modal box with the warning icon.
// Tests queue the answers of the next boxes; a box shown with no answer queued while answers
// are being scripted fails loudly instead of blocking, and every box is recorded while they are.
class MessageService {
  public:
    enum class Buttons { Ok, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    struct Shown {
        QString title;
        QString text;
        Buttons buttons;
    };

    // Shows the box (or takes the next scripted answer) and returns the answer.
    static Answer warning(QWidget* parent, const QString& title, const QString& text,
                          Buttons buttons = Buttons::Ok);

    // Test seam: from the first call on, boxes are never shown; each takes the next queued
    // answer (Ok for an Ok box when the queue is empty).
    static void queueAnswer(Answer answer);
    // The next box fails as one would for want of memory (std::bad_alloc), before any answer:
    // a failure injected into whichever handler shows it.
    static void queueFailure();
    static void startScripting();
    static void stopScripting();
    // The boxes since the last clearShown, recorded only while scripting.
    static const QList<Shown>& shown();
    static void clearShown();
    // Boxes that asked for an answer when none was queued (a test should assert this is 0).
    static int unansweredCount();
};
