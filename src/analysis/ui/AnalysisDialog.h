#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/FixedDialog.h"

class QListWidget;

// What the effect-size and descriptives windows have in common: Escape is no Cancel (neither
// button reacts to it), OK and Cancel only hide the window, and the close box unloads it.
class AnalysisDialog : public FixedDialog {
  protected:
    AnalysisDialog(const QString& objectName, const QString& title, QWidget* parent);

    // One unticked, tickable item per variable: "Var 1" to "Var <variables>".
    static void addVariableItems(QListWidget* list, std::int32_t variables);
    // Calls onTick(row) for each item whose tick really changed; itemChanged also reports other
    // changes of an item. `ticks` holds each item's tick as last heard and must outlive the list.
    void watchTicks(QListWidget* list, std::vector<bool>& ticks, std::function<void(int)> onTick);
    // Runs the analysis behind OK; a failure it did not foresee gets a box rather than ending
    // silently.
    void runGuarded(const std::function<void()>& analysis);
};
