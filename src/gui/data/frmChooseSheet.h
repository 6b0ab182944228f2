#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QListWidget;

// One sheet of a workbook as the chooser lists it, or one file of a zip archive (with its size
// in bytes, its rows and columns not counted).
struct SheetEntry {
    QString name;
    qint64 rows = 0;
    qint64 columns = 0;
    qint64 bytes = -1;  // a file of a zip archive: its unpacked size
};

// "Choose Sheet": which sheet of a workbook, or which file of a zip archive, to import, each
// listed with its size. The first is selected; a double click or Enter imports the one
// selected.
class frmChooseSheet : public QDialog {
    Q_OBJECT
  public:
    // `dataFrames`: the entries are the data frames of an R workspace.
    frmChooseSheet(const QString& fileName, const QList<SheetEntry>& sheets,
                   QWidget* parent = nullptr, bool dataFrames = false);

    // The index of the sheet chosen, or -1 when the user cancelled.
    int chosen() const;

    // Asks, modally; -1 when the user cancelled.
    static int ask(QWidget* parent, const QString& fileName, const QList<SheetEntry>& sheets,
                   bool dataFrames = false);

    QLabel* lblPrompt;
    QListWidget* lstSheets;
    QDialogButtonBox* cmdButtons;
};
