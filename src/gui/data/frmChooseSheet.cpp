#include "gui/data/frmChooseSheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Count(qint64 n, const char* one, const char* many) {
    // Thousands separated, whatever the program's number locale says.
    return QLocale(QLocale::English).toString(n) + QLatin1Char(' ') +
           QLatin1String(n == 1 ? one : many);
}

}  // namespace

frmChooseSheet::frmChooseSheet(const QString& fileName, const QList<SheetEntry>& sheets,
                               QWidget* parent, bool dataFrames)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmChooseSheet"));
    const bool archive = !sheets.isEmpty() && sheets.front().bytes >= 0;
    setWindowTitle(archive      ? QStringLiteral("Choose File")
                   : dataFrames ? QStringLiteral("Choose Data Frame")
                                : QStringLiteral("Choose Sheet"));
    auto* layout = new QVBoxLayout(this);
    lblPrompt = new QLabel(
        (archive ? QStringLiteral("The zip archive \"%1\" holds %2 files. Import which one?")
         : dataFrames
             ? QStringLiteral("The R workspace \"%1\" holds %2 data frames. Import which one?")
             : QStringLiteral("The workbook \"%1\" has %2 sheets. Import which one?"))
            .arg(fileName)
            .arg(sheets.size()),
        this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setWordWrap(true);
    lstSheets = new QListWidget(this);
    lstSheets->setObjectName(QStringLiteral("lstSheets"));
    for (const SheetEntry& s : sheets) {
        if (s.bytes >= 0) {
            lstSheets->addItem(
                QStringLiteral("%1    %2").arg(s.name, Count(s.bytes, "byte", "bytes")));
            continue;
        }
        lstSheets->addItem(
            QStringLiteral("%1    %2, %3")
                .arg(s.name, Count(s.rows, "row", "rows"), Count(s.columns, "column", "columns")));
    }
    lstSheets->setCurrentRow(0);
    cmdButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    cmdButtons->setObjectName(QStringLiteral("cmdButtons"));
    cmdButtons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Import"));
    layout->addWidget(lblPrompt);
    layout->addWidget(lstSheets);
    layout->addWidget(cmdButtons);
    connect(cmdButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(cmdButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstSheets, &QListWidget::itemActivated, this, &QDialog::accept);
    lstSheets->setFocus();
}

int frmChooseSheet::chosen() const {
    return result() == QDialog::Accepted ? lstSheets->currentRow() : -1;
}

int frmChooseSheet::ask(QWidget* parent, const QString& fileName, const QList<SheetEntry>& sheets,
                        bool dataFrames) {
    frmChooseSheet dialog(fileName, sheets, parent, dataFrames);
    dialog.exec();
    return dialog.chosen();
}
