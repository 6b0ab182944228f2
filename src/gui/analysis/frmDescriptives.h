#pragma once

#include <memory>
#include <vector>

#include "gui/analysis/AnalysisDialog.h"

class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class OutputPane;

// "Descriptives": N, Mean, SD, Min and Max of the ticked variables, appended to the output
// pane. In range mode a tick also ticks every item up to the nearest ticked item above it.
// OK (after a report) and Cancel hide the window with its ticks and mode; the close box
// unloads it. The window opens at its drawn size and can be made larger, the list growing with it.
class frmDescriptives : public AnalysisDialog {
    Q_OBJECT
  public:
    // The list holds one item per variable of `data`, which OK reads until setDataSet.
    frmDescriptives(std::shared_ptr<const corvane::DataSet> data, OutputPane* pane,
                    QWidget* parent = nullptr);

    // The data set the next OK reads, taken at each showing; the list stays as it was built.
    void setDataSet(std::shared_ptr<const corvane::DataSet> data);

    // The tick notification, with the 0-based item index.
    void lstItems_ItemCheck(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    QGroupBox* fraSelectItems;
    QListWidget* lstItems;
    QRadioButton* optRanges;
    QRadioButton* optIndividual;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

  private:
    // Runs once, from the constructor: one item per variable of the data set.
    void Form_Load();
    void buildControls();
    bool isTicked(int index) const;
    void runAnalysis();

    std::shared_ptr<const corvane::DataSet> m_data;
    OutputPane* m_pane;
    // The tick of each item as last heard, so only real tick changes reach the range filling.
    std::vector<bool> m_ticks;
    // Set while the range filling ticks items itself; those ticks do not start it again.
    bool m_filling = false;
};
