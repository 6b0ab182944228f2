#include "gui/data/frmDataTable.h"

#include <QAction>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "gui/data/DataTableModel.h"
#include "gui/platform/BusyPointer.h"
#include "gui/platform/Clipboard.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/Twips.h"

namespace {

// Measuring every column of a wide set, or every case, would cost more than it shows.
constexpr int kMeasuredColumns = 200;
constexpr int kMeasuredRows = 100;
constexpr int kWidestColumn = 320;  // pixels

}  // namespace

frmDataTable::frmDataTable(std::shared_ptr<const corvane::DataSet> data, QWidget* parent)
    : QWidget(parent, Qt::Window), m_model(new DataTableModel(std::move(data), this)) {
    setObjectName(QStringLiteral("frmDataTable"));
    setWindowTitle(QStringLiteral("Data Table"));
    grdData = new QTableView(this);
    grdData->setObjectName(QStringLiteral("grdData"));
    grdData->setModel(m_model);
    grdData->setWordWrap(false);
    grdData->setCornerButtonEnabled(true);
    // Fixed row heights: the view places any case without measuring the ones before it.
    QHeaderView* rows = grdData->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    // A name longer than its column shows its beginning (its tip shows it whole), cut short
    // where the style can.
    QHeaderView* names = grdData->horizontalHeader();
    names->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    names->setTextElideMode(Qt::ElideRight);
    names->setDefaultSectionSize(fontMetrics().horizontalAdvance(QStringLiteral("-1.234568E+07")) +
                                 12);

    auto* copy = new QAction(QStringLiteral("&Copy"), grdData);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &frmDataTable::copySelection);
    grdData->addAction(copy);
    grdData->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(grdData);
    fitColumns();
    resize(Twips::toPixelsX(10000), Twips::toPixelsY(7000));
    // Over the main window, a little in from its corner, rather than wherever the desktop likes.
    if (parent != nullptr) move(parent->frameGeometry().topLeft() + QPoint(48, 48));
}

void frmDataTable::setDataSet(std::shared_ptr<const corvane::DataSet> data) {
    if (data == m_model->dataSet()) return;
    m_model->setDataSet(std::move(data));
    fitColumns();
}

void frmDataTable::fitColumns() {
    const QFontMetrics cells(grdData->font());
    const QFontMetrics names(grdData->horizontalHeader()->font());
    const int columns = std::min(m_model->columnCount(), kMeasuredColumns);
    const int rows = std::min(m_model->rowCount(), kMeasuredRows);
    for (int c = 0; c < columns; ++c) {
        // Room for the header's and the cells' own margins.
        int width = names.horizontalAdvance(m_model->columnName(c)) + 16;
        for (int r = 0; r < rows; ++r)
            width = std::max(width, cells.horizontalAdvance(m_model->cellText(r, c)) + 12);
        grdData->setColumnWidth(c, std::min(width, kWidestColumn));
    }
}

void frmDataTable::copySelection() {
    Guarded(this, QStringLiteral("Copy"), [this] {
        const BusyPointer busy(this);
        Clipboard::setText(m_model->selectionText(grdData->selectionModel()->selection()));
    });
}

void frmDataTable::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
