#include "gui/data/DataTableModel.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/Single.h"
#include "data/CellText.h"
#include "gui/platform/StringConversions.h"

namespace {

// Sorted, merged row spans [first, last] the selection touches.
std::vector<std::pair<int, int>> RowSpans(const QItemSelection& selection) {
    std::vector<std::pair<int, int>> spans;
    for (const QItemSelectionRange& r : selection) spans.emplace_back(r.top(), r.bottom());
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& s : spans) {
        if (!merged.empty() && s.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, s.second);
        else
            merged.push_back(s);
    }
    return merged;
}

std::vector<int> Columns(const QItemSelection& selection) {
    std::vector<int> columns;
    for (const QItemSelectionRange& r : selection)
        for (int c = r.left(); c <= r.right(); ++c) columns.push_back(c);
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    return columns;
}

bool Selected(const QItemSelection& selection, int row, int column) {
    return std::any_of(selection.begin(), selection.end(), [&](const QItemSelectionRange& r) {
        return row >= r.top() && row <= r.bottom() && column >= r.left() && column <= r.right();
    });
}

}  // namespace

DataTableModel::DataTableModel(std::shared_ptr<const corvane::DataSet> data, QObject* parent)
    : QAbstractTableModel(parent), m_data(std::move(data)) {}

void DataTableModel::setDataSet(std::shared_ptr<const corvane::DataSet> data) {
    beginResetModel();
    m_data = std::move(data);
    endResetModel();
}

int DataTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, m_data->cases());
}

int DataTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, m_data->variables());
}

QString DataTableModel::cellText(int row, int column) const {
    const float cell = m_data->matrix().at(row + 1, column + 1);
    if (corvane::IsMissing(cell)) return QStringLiteral(".");
    return FromCore(corvane::CellText(*m_data, column + 1, cell));
}

QString DataTableModel::columnName(int column) const {
    const std::string& name = m_data->name(column + 1);
    return name.empty() ? QStringLiteral("Var %1").arg(column + 1) : FromCore(name);
}

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const bool numbers =
            m_data->facts(index.column() + 1).kind == corvane::VariableKind::Numbers;
        return QVariant::fromValue(Qt::AlignVCenter | (numbers ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole) return section + 1;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role == Qt::DisplayRole) return columnName(section);
    // The variable as the analyses' lists show it: "Var 2  score".
    if (role == Qt::ToolTipRole) {
        const std::string& name = m_data->name(section + 1);
        const QString number = QStringLiteral("Var %1").arg(section + 1);
        return name.empty() ? number : number + QStringLiteral("  ") + FromCore(name);
    }
    return {};
}

QString DataTableModel::selectionText(const QItemSelection& selection) const {
    const std::vector<int> columns = Columns(selection);
    if (columns.empty()) return {};
    const QString tab = QStringLiteral("\t");
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    for (std::size_t i = 0; i < columns.size(); ++i)
        text += (i == 0 ? QString() : tab) + columnName(columns[i]);
    text += crlf;
    for (const auto& [first, last] : RowSpans(selection)) {
        for (int row = first; row <= last; ++row) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i != 0) text += tab;
                if (Selected(selection, row, columns[i])) text += cellText(row, columns[i]);
            }
            text += crlf;
        }
    }
    return text;
}
