#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/EffectSizeAnalysis.h"
#include "analysis/ui/AnalysisDialog.h"
#include "common/UniformGenerator.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class OutputPane;

// "Corvane": the effect-size analysis. The user ticks one dependent and one grouping variable,
// types the two group codes and picks the trials, the confidence level and the standardizing
// group; OK runs the analysis and appends its report to the output pane. OK (after a report)
// and Cancel hide the window so its settings are there at the next opening; the close box
// unloads it.
class frmCorvane : public AnalysisDialog {
    Q_OBJECT
  public:
    explicit frmCorvane(OutputPane* pane, QWidget* parent = nullptr);

    // The tick notifications, with the 0-based item index.
    void lstDV_ItemCheck(int index);
    void lstGV_ItemCheck(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    // The seed source of the reseeding at each OK; the clock unless a test sets another.
    void setSeedSource(std::function<std::uint64_t()> source);

    // Told of every run that appended its report, with what was asked and what came out.
    using RunSucceeded =
        std::function<void(const corvane::EffectSizeRequest&, const corvane::EffectSizeOutcome&)>;
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
    QGroupBox* fraTrials;
    QRadioButton* opt600;
    QRadioButton* opt800;
    QRadioButton* opt1000;
    QRadioButton* opt1200;
    QRadioButton* opt1400;
    QRadioButton* opt1600;
    QRadioButton* opt1800;
    QRadioButton* opt2000;
    QLabel* lblTrial;
    QLineEdit* txtTrial;
    QGroupBox* fraConfidence;
    QRadioButton* opt90CI;
    QRadioButton* opt95CI;
    QRadioButton* opt99CI;
    QGroupBox* fraPickGroup;
    QRadioButton* optGroup1;
    QRadioButton* optGroup2;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

  private:
    // Runs once, from the constructor: the lists follow the current number of variables.
    void Form_Load();
    void buildControls();
    void setFocusOrder();
    // One tick per list: `member` follows the ticked item of `list`.
    void itemCheck(QListWidget* list, std::int32_t& member, int index);
    void runAnalysis();

    OutputPane* m_pane;
    corvane::UniformGenerator m_rng;
    std::function<std::uint64_t()> m_seedSource;
    RunSucceeded m_runSucceeded;
    std::vector<bool> m_ticksDV;
    std::vector<bool> m_ticksGV;
};
