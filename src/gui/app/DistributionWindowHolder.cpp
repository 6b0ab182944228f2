#include "gui/app/DistributionWindowHolder.h"

#include <utility>

#include "gui/analysis/frmBootstrapDistributions.h"

DistributionWindowHolder::DistributionWindowHolder(QWidget* owner, RememberedFolder pictureFolder)
    : m_owner(owner), m_pictureFolder(std::move(pictureFolder)) {}

DistributionWindowHolder::~DistributionWindowHolder() { delete m_window.data(); }

void DistributionWindowHolder::setAvailabilityListener(std::function<void(bool)> listener) {
    m_listener = std::move(listener);
    if (m_listener) m_listener(available());
}

void DistributionWindowHolder::keepRun(corvane::BootstrapDistributions run) {
    m_run = std::move(run);
    if (m_window) m_window->showDistributions(*m_run);
    if (m_listener) m_listener(true);
}

void DistributionWindowHolder::drop() {
    delete m_window.data();
    const bool was = available();
    m_run.reset();
    if (was && m_listener) m_listener(false);
}

void DistributionWindowHolder::show() {
    if (!m_run) return;
    if (!m_window) {
        m_window = new frmBootstrapDistributions(m_owner, {}, m_pictureFolder);
        m_window->showDistributions(*m_run);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

frmBootstrapDistributions* DistributionWindowHolder::shownWindow() const { return m_window.data(); }
