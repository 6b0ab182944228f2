#pragma once

#include <QAbstractTableModel>
#include <QItemSelection>
#include <QString>
#include <memory>

#include "data/DataSet.h"

// A data set as a table: a row per case, a column per variable. A cell becomes text only when a
// view asks for it, so a table of millions of cases costs no more than the rows on the screen.
// The model keeps the snapshot it was given, whatever is loaded meanwhile.
class DataTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit DataTableModel(std::shared_ptr<const corvane::DataSet> data,
                            QObject* parent = nullptr);

    const std::shared_ptr<const corvane::DataSet>& dataSet() const { return m_data; }
    // Another data set, shown from its first case.
    void setDataSet(std::shared_ptr<const corvane::DataSet> data);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // Display: the cell's text; alignment: numbers to the right, labels to the left.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Columns: the variable's name ("Var 3" when it has none); rows: the case's number.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // A cell as the table shows it (row and column from 0): "." for a missing value, the label
    // of a text cell, "1 (control)" for a labelled number, any other number in the general
    // format.
    QString cellText(int row, int column) const;
    QString columnName(int column) const;
    // The selected cells as tab-separated lines (CR LF) under a line of their columns' names:
    // every row and column the selection touches, a cell outside it left empty.
    QString selectionText(const QItemSelection& selection) const;

  private:
    std::shared_ptr<const corvane::DataSet> m_data;
};
