#include "gui/platform/MessageService.h"

#include <QDebug>
#include <QMessageBox>
#include <new>

namespace {

struct Script {
    bool active = false;
    QList<MessageService::Answer> answers;
    QList<MessageService::Shown> shown;
    int unanswered = 0;
    int failures = 0;
};

Script& script() {
    static Script s;
    return s;
}

MessageService::Answer fromButton(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return MessageService::Answer::Yes;
        case QMessageBox::No:
            return MessageService::Answer::No;
        case QMessageBox::Ok:
            return MessageService::Answer::Ok;
        default:
            // Escape or the close box on a Yes/No/Cancel box
            return MessageService::Answer::Cancel;
    }
}

}  // namespace

MessageService::Answer MessageService::warning(QWidget* parent, const QString& title,
                                               const QString& text, Buttons buttons) {
    Script& s = script();
    if (s.active) {
        // Recorded only for a test that scripts the boxes: the program itself keeps none.
        s.shown.append(Shown{title, text, buttons});
        if (s.failures > 0) {
            --s.failures;
            throw std::bad_alloc();
        }
        if (!s.answers.isEmpty()) return s.answers.takeFirst();
        if (buttons == Buttons::Ok) return Answer::Ok;
        // A question nobody scripted: answer the most harmless way and let the test see it.
        ++s.unanswered;
        qWarning().noquote() << "MessageService: no answer queued for" << title << "/" << text;
        return Answer::Cancel;
    }

    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons == Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    const int button = box.exec();
    if (buttons == Buttons::Ok) return Answer::Ok;
    return fromButton(button);
}

void MessageService::queueAnswer(Answer answer) {
    startScripting();
    script().answers.append(answer);
}

void MessageService::queueFailure() {
    startScripting();
    ++script().failures;
}

void MessageService::startScripting() { script().active = true; }

void MessageService::stopScripting() {
    Script& s = script();
    s.active = false;
    s.answers.clear();
    s.unanswered = 0;
    s.failures = 0;
}

const QList<MessageService::Shown>& MessageService::shown() { return script().shown; }

void MessageService::clearShown() {
    script().shown.clear();
    script().unanswered = 0;
}

int MessageService::unansweredCount() { return script().unanswered; }
