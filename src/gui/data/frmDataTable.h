#pragma once

#include <QWidget>
#include <memory>

#include "data/DataSet.h"

class QTableView;
class DataTableModel;

// "Data Table": the whole data set as a grid, a case per row numbered as the cases are and a
// variable per column headed by its name; text and labelled cells show their labels and a
// missing value ".". The cells are made as they come into view. Ctrl+C (or Copy on the grid's
// menu) copies the selection as tab-separated text under a line of names; Escape closes the
// window. It keeps the data set it shows until it is given the next.
class frmDataTable : public QWidget {
    Q_OBJECT
  public:
    explicit frmDataTable(std::shared_ptr<const corvane::DataSet> data, QWidget* parent = nullptr);

    // Shows another data set from its first case; the same one changes nothing.
    void setDataSet(std::shared_ptr<const corvane::DataSet> data);
    const DataTableModel* model() const { return m_model; }

    // Puts the selected cells on the clipboard.
    void copySelection();

    QTableView* grdData;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Each of the first columns as wide as its name and the cells of its first cases need.
    void fitColumns();

    DataTableModel* m_model;
};
