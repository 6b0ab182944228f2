#pragma once

#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "analysis/BootstrapChoices.h"
#include "analysis/EffectSizeAnalysis.h"
#include "gui/analysis/AnalysisDialog.h"
#include "gui/analysis/GroupValues.h"
#include "gui/platform/BusyPointer.h"

class ElidedCaption;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class OutputPane;

// "Corvane": the effect-size analysis. The user ticks one dependent and one grouping variable,
// types the two group codes (or picks them from the grouping variable's values) and picks the
// trials, the confidence level, the standardizing group and the interval; OK runs the analysis and
// appends its report to the output pane. OK (after a report) and Cancel hide the window so its
// settings are there at the next opening; the close box unloads it. The window opens at its drawn
// size and can be made larger, the lists and boxes growing with it.
//
// The analysis runs on a thread of its own while the window goes on answering: the trial box
// counts the completed trials, the other controls are disabled, and Cancel, Escape or the close
// box stop the run, which then appends nothing and leaves the settings as they were.
class frmCorvane : public AnalysisDialog {
    Q_OBJECT
  public:
    // The lists hold one item per variable of `data`, which OK reads until setDataSet.
    frmCorvane(std::shared_ptr<const corvane::DataSet> data, OutputPane* pane,
               QWidget* parent = nullptr);
    ~frmCorvane() override;

    // The data set the next OK reads, taken at each showing; a run already going keeps its own.
    void setDataSet(std::shared_ptr<const corvane::DataSet> data);

    // The tick notifications, with the 0-based item index.
    void lstDV_ItemCheck(int index);
    void lstGV_ItemCheck(int index);
    // The group boxes' texts changed, typed or picked.
    void txtGroup1_Change();
    void txtGroup2_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The seed source of the reseeding at each OK while the seed box is empty; the clock unless
    // a test sets another.
    void setSeedSource(std::function<std::uint64_t()> source);

    // True from OK until the run has ended (its report appended, its message shown or stopped).
    bool isRunning() const { return m_run != nullptr; }

    // Told of every run that appended its report, with what came out.
    using RunSucceeded = std::function<void(const corvane::EffectSizeOutcome&)>;
    void setRunSucceeded(RunSucceeded listener) { m_runSucceeded = std::move(listener); }

    // The variable number of the ticked item of each list, or 9999999 when none is ticked.
    std::int32_t m_lngDV;
    std::int32_t m_lngGV;

    QGroupBox* fraSelectDV;
    QListWidget* lstDV;
    QGroupBox* fraSelectGroups;
    QListWidget* lstGV;
    QLabel* lblGroup1;
    QLineEdit* txtGroup1;
    QLabel* lblGroup2;
    QLineEdit* txtGroup2;
    // Beside each group box: the ticked grouping variable's values with their counts, picking
    // one writes it into the box. Disabled while no variable with at most kMaxGroupValues values
    // is ticked.
    QToolButton* cmdGroup1Values;
    QToolButton* cmdGroup2Values;
    QGroupBox* fraTrials;
    // opt600 to opt2000, in the order of corvane::kTrialChoices.
    std::array<QRadioButton*, corvane::kTrialChoices.size()> optTrials;
    QLabel* lblTrial;
    QLineEdit* txtTrial;
    QGroupBox* fraConfidence;
    QRadioButton* opt90CI;
    QRadioButton* opt95CI;
    QRadioButton* opt99CI;
    QGroupBox* fraPickGroup;
    // "Group 1", and "Group 1 (control)" once the box names a value of the grouping variable.
    QRadioButton* optGroup1;
    QRadioButton* optGroup2;
    QGroupBox* fraInterval;
    QRadioButton* optPercentile;
    QRadioButton* optBCa;
    QLabel* lblSeed;
    QLineEdit* txtSeed;  // empty: a new seed at each OK
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // The button of a trial count on offer, or null.
    QRadioButton* trialButton(std::int32_t trials) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Run;

    // Runs once, from the constructor: the lists follow the data set's number of variables.
    void Form_Load();
    void buildControls();
    void buildVariableFrames();
    void buildOptionFrames();
    // The lists and boxes grow with the window; names too long for them show their ends.
    void followWindowSize();
    void setFocusOrder();
    // One tick per list: `member` follows the ticked item of `list`.
    void itemCheck(QListWidget* list, std::int32_t& member, int index);
    // What the controls ask for, with the data set's names for the report.
    corvane::EffectSizeRequest requestFromControls() const;
    void runAnalysis();
    // On the window's thread once the run's thread has posted its end.
    void finishRun(std::uint64_t id);
    // Cancels the run and waits for its thread; nothing is appended.
    void stopRun();
    // The window as it is between runs, but for the pointer: controls enabled, the last count
    // shown.
    void endRun(const Run& run);
    void setControlsEnabled(bool enabled);
    void showProgress(const Run& run);
    // The value lists follow the ticked grouping variable.
    void offerGroupValues();
    // The variance choice names each group the boxes choose.
    void showGroupNames();
    const std::optional<std::vector<GroupValue>>& groupValues(std::int32_t variable);

    std::shared_ptr<const corvane::DataSet> m_data;
    OutputPane* m_pane;
    std::function<std::uint64_t()> m_seedSource;
    RunSucceeded m_runSucceeded;
    std::vector<bool> m_ticksDV;
    std::vector<bool> m_ticksGV;
    // Each grouping variable's values, counted once per data set rather than at every tick.
    std::unordered_map<std::int32_t, std::optional<std::vector<GroupValue>>> m_groupValues;
    std::unique_ptr<Run> m_run;
    std::uint64_t m_runId = 0;  // numbers the runs, so a stale end of a stopped run is ignored
    QTimer* m_progressTimer;
    std::optional<BusyPointer> m_busy;
    std::optional<BusyPointer> m_busyTrialBox;
    QPointer<QWidget> m_focusBeforeRun;
    ElidedCaption* m_captionGroup1 = nullptr;
    ElidedCaption* m_captionGroup2 = nullptr;
};
