#pragma once

#include <QPointer>
#include <functional>
#include <optional>

#include "analysis/render/BootstrapDistributions.h"
#include "gui/platform/RememberedFolder.h"

class QWidget;
class frmBootstrapDistributions;

// The last successful effect-size run's bootstrap distributions and the one window that shows
// them. A new run replaces the pictures; a new data set drops both the values and the window.
class DistributionWindowHolder {
  public:
    // `pictureFolder`: where the window's pictures were last saved.
    explicit DistributionWindowHolder(QWidget* owner, RememberedFolder pictureFolder = {});
    ~DistributionWindowHolder();
    DistributionWindowHolder(const DistributionWindowHolder&) = delete;
    DistributionWindowHolder& operator=(const DistributionWindowHolder&) = delete;

    // Told whether there is a run to show, each time that changes.
    void setAvailabilityListener(std::function<void(bool)> listener);

    void keepRun(corvane::BootstrapDistributions run);
    void drop();
    bool available() const { return m_run.has_value(); }

    // Shows the window beside its owner, creating it at the first showing.
    void show();
    // The window, or null; for tests.
    frmBootstrapDistributions* shownWindow() const;

  private:
    QWidget* m_owner;
    RememberedFolder m_pictureFolder;
    std::optional<corvane::BootstrapDistributions> m_run;
    QPointer<frmBootstrapDistributions> m_window;
    std::function<void(bool)> m_listener;
};
