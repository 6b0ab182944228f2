#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/AnalysisError.h"
#include "common/Result.h"
#include "data/DataSet.h"
#include "gui/platform/FixedDialog.h"

class QListWidget;
class OutputPane;

// What the effect-size and descriptives windows have in common: Escape is no Cancel (neither
// button reacts to it), OK and Cancel only hide the window, and the close box unloads it.
class AnalysisDialog : public FixedDialog {
  protected:
    AnalysisDialog(const QString& objectName, const QString& title, QWidget* parent);

    // One unticked, tickable item per variable of `data`: "Var 1" to "Var <variables>",
    // a text variable marked "(text)"; a name too long for the list is cut in the middle and
    // given whole in its tooltip.
    static void addVariableItems(QListWidget* list, const corvane::DataSet& data);
    // Calls onTick(row) for each item whose tick really changed; itemChanged also reports other
    // changes of an item. `ticks` holds each item's tick as last heard and must outlive the list.
    void watchTicks(QListWidget* list, std::vector<bool>& ticks, std::function<void(int)> onTick);
    // Runs the analysis behind OK; a failure it did not foresee gets a box rather than ending
    // silently.
    void runGuarded(const std::function<void()>& analysis);
    // The end of OK: a failure's box, the window staying for another try; else the report
    // made from the result, appended to the pane, and the window hidden.
    template <class T, class Report>
    void finish(const corvane::Result<T, corvane::AnalysisError>& outcome, OutputPane* pane,
                Report&& report) {
        if (!outcome.ok()) {
            showFailure(outcome.error());
            return;
        }
        appendAndHide(pane, std::forward<Report>(report)(outcome.value()));
    }
    // The failure's box, with its title and text from AnalysisErrorText.
    void showFailure(const corvane::AnalysisError& error);

  private:
    void appendAndHide(OutputPane* pane, const std::string& report);
};
