#pragma once

#include <QString>
#include <QWidget>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "common/Messages.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/StringConversions.h"

// The one guard every event handler runs its body through: a failure the program did not
// foresee (no memory, a fault of the program) is reported in a box titled with the command's
// name, never let out into the event loop, where it would end the program.
struct GuardTexts {
    std::string (*notEnoughMemory)() = corvane::msg::CommandNotEnoughMemory;
    std::string (*failed)(const std::string& reason) = corvane::msg::CommandFailed;
};

// Runs body; returns false when it failed (and the box was shown).
template <class F>
bool Guarded(QWidget* window, const QString& command, F&& body, GuardTexts texts = {}) {
    QString text;
    try {
        std::forward<F>(body)();
        return true;
    } catch (const std::bad_alloc&) {
        text = FromCore(texts.notEnoughMemory());
    } catch (const std::exception& e) {
        text = FromCore(texts.failed(e.what()));
    } catch (...) {
        text = FromCore(texts.failed("unknown failure"));
    }
    // The box itself may fail for want of memory; the handler still ends here.
    try {
        MessageService::warning(window, command, text);
    } catch (...) {
    }
    return false;
}
