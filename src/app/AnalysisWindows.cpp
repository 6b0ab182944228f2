#include "app/AnalysisWindows.h"

#include <QDialog>
#include <QTimer>
#include <memory>
#include <utility>

#include "analysis/ui/frmCorvane.h"
#include "analysis/ui/frmDescriptives.h"
#include "data/ui/frmNavigate.h"

namespace {

std::function<void(QWidget&)>& scriptedStep() {
    static std::function<void(QWidget&)> step;
    return step;
}

}  // namespace

AnalysisWindows::AnalysisWindows(QWidget* owner, OutputPane* pane) : m_owner(owner), m_pane(pane) {}

AnalysisWindows::~AnalysisWindows() { discardAnalysisWindows(); }

QWidget* AnalysisWindows::corvane() const { return m_corvane.data(); }

QWidget* AnalysisWindows::descriptives() const { return m_descriptives.data(); }

frmCorvane* AnalysisWindows::corvaneInstance() {
    // A window closed from its title bar is released even before its deferred deletion ran.
    if (m_corvane && m_corvane->isUnloaded()) delete m_corvane.data();
    if (!m_corvane) m_corvane = new frmCorvane(m_pane, m_owner);
    return m_corvane;
}

frmDescriptives* AnalysisWindows::descriptivesInstance() {
    if (m_descriptives && m_descriptives->isUnloaded()) delete m_descriptives.data();
    if (!m_descriptives) m_descriptives = new frmDescriptives(m_pane, m_owner);
    return m_descriptives;
}

void AnalysisWindows::showCorvane() {
    execModal(*corvaneInstance());
    if (m_corvane && m_corvane->isUnloaded()) delete m_corvane.data();
}

void AnalysisWindows::showDescriptives() {
    execModal(*descriptivesInstance());
    if (m_descriptives && m_descriptives->isUnloaded()) delete m_descriptives.data();
}

void AnalysisWindows::showNavigate() {
    // Built afresh at every opening; a data set without a cell (1, 1) opens nothing.
    auto navigator = std::make_unique<frmNavigate>(m_owner);
    if (!navigator->Form_Load()) return;
    execModal(*navigator);
}

void AnalysisWindows::discardAnalysisWindows() {
    delete m_corvane.data();
    delete m_descriptives.data();
}

void AnalysisWindows::scriptNextShowing(std::function<void(QWidget&)> step) {
    scriptedStep() = std::move(step);
}

void AnalysisWindows::execModal(QDialog& window) {
    if (auto step = std::exchange(scriptedStep(), {})) {
        QPointer<QDialog> target = &window;
        QTimer::singleShot(0, &window, [target, step = std::move(step)] {
            if (target) step(*target);
        });
    }
    window.exec();
}
