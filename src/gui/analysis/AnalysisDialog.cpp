#include "gui/analysis/AnalysisDialog.h"

#include <QAbstractItemDelegate>
#include <QListWidget>
#include <QStyleOptionViewItem>

#include "common/Messages.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/StringConversions.h"

AnalysisDialog::AnalysisDialog(const QString& objectName, const QString& title, QWidget* parent)
    : FixedDialog(objectName, title, parent, Keys::NoEscape, CloseBox::Unloads) {}

void AnalysisDialog::addVariableItems(QListWidget* list, const corvane::DataSet& data) {
    // Lists of many thousand variables: each item is made whole before it joins the list, and
    // all items take one size, so that neither the adding nor the first layout measures every
    // item.
    list->setUniformItemSizes(true);
    int longestRow = -1;
    qsizetype longestText = -1;
    for (std::int32_t v = 1; v <= data.variables(); ++v) {
        // "Var 2  score" for a variable named on the file's first line.
        const std::string& name = data.name(v);
        QString text = QStringLiteral("Var %1").arg(v);
        if (!name.empty()) text += QStringLiteral("  ") + FromCore(name);
        if (data.isText(v)) text += QStringLiteral(" (text)");
        if (text.size() > longestText) {
            longestText = text.size();
            longestRow = v - 1;
        }
        auto* item = new QListWidgetItem(text);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        list->addItem(item);
    }
    // The one size is the last item's; it is given the longest text's, measured once (measuring
    // every text would cost as much as the layout saves), so names are not cut off.
    if (longestRow < 0) return;
    QStyleOptionViewItem option;
    option.initFrom(list);
    const QSize longest =
        list->itemDelegate()->sizeHint(option, list->model()->index(longestRow, 0));
    list->item(list->count() - 1)->setSizeHint(longest);
}

void AnalysisDialog::watchTicks(QListWidget* list, std::vector<bool>& ticks,
                                std::function<void(int)> onTick) {
    ticks.assign(static_cast<std::size_t>(list->count()), false);
    connect(list, &QListWidget::itemChanged, this,
            [list, &ticks, onTick = std::move(onTick)](QListWidgetItem* item) {
                const int row = list->row(item);
                if (row < 0 || static_cast<std::size_t>(row) >= ticks.size()) return;
                const bool ticked = item->checkState() == Qt::Checked;
                if (ticks[static_cast<std::size_t>(row)] == ticked) return;
                ticks[static_cast<std::size_t>(row)] = ticked;
                onTick(row);
            });
}

void AnalysisDialog::runGuarded(const std::function<void()>& analysis) {
    Guarded(this, QString::fromUtf8(corvane::msg::kTitleAnalysisError), analysis,
            GuardTexts{corvane::msg::AnalysisNotEnoughMemory, corvane::msg::AnalysisFailed});
}

void AnalysisDialog::showFailure(const corvane::AnalysisError& error) {
    const corvane::AnalysisMessage message = corvane::AnalysisErrorText(error);
    MessageService::warning(this, FromCore(message.title), FromCore(message.text));
}

void AnalysisDialog::appendAndHide(OutputPane* pane, const std::string& report) {
    if (pane != nullptr) pane->appendReport(FromCore(report));
    hide();
}
