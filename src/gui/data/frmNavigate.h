#pragma once

#include <cstdint>
#include <memory>

#include "data/DataSet.h"
#include "gui/platform/FixedDialog.h"

class QGroupBox;
class QLabel;
class QPushButton;

// "Navigate Data File": the loaded data set one cell at a time, moved with four buttons (or the
// arrow keys) that stop at the edges; Escape closes it. It only reads the data set it is built
// with, afresh at every opening.
class frmNavigate : public FixedDialog {
    Q_OBJECT
  public:
    explicit frmNavigate(std::shared_ptr<const corvane::DataSet> data, QWidget* parent = nullptr);

    // Puts the position at row 1, column 1 and shows the counts of the data set.
    // False, with nothing shown, when the data matrix has no cell (1, 1).
    bool Form_Load();

    void cmdUp_Click();
    void cmdDown_Click();
    void cmdLeft_Click();
    void cmdRight_Click();

    // The current row (case) and column (variable), from 1.
    std::int32_t m_lngCurrentRow = 1;
    std::int32_t m_lngCurrentColumn = 1;

    QLabel* lblRow;
    QLabel* lblColumn;
    QGroupBox* fraNavigate;
    QLabel* lblCell;
    QPushButton* cmdUp;
    QPushButton* cmdDown;
    QPushButton* cmdRight;
    QPushButton* cmdLeft;
    QLabel* lblNumberOfRows;
    QLabel* lblNumberOfColumns;

  private:
    void buildControls();
    // The row, column and cell labels for the current position.
    void showPosition();
    void showCurrentCell();
    // "Column: 2", with the variable's name after it when the file's first line gave one.
    QString columnLabel(std::int32_t column) const;
    // The row and column labels, and the window, wide enough for every caption they can show.
    void fitPositionLabels();

    std::shared_ptr<const corvane::DataSet> m_data;
};
