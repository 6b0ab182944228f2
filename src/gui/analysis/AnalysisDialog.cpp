#include "gui/analysis/AnalysisDialog.h"

#include <QAbstractItemDelegate>
#include <QListWidget>
#include <QStyleOptionViewItem>

#include "common/Messages.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/ElidingItemDelegate.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/StringConversions.h"

AnalysisDialog::AnalysisDialog(const QString& objectName, const QString& title, QWidget* parent)
    : FixedDialog(objectName, title, parent, Keys::NoEscape, CloseBox::Unloads) {}

void AnalysisDialog::addVariableItems(QListWidget* list, const corvane::DataSet& data) {
    ElidingItemDelegate::install(list);
    // Lists of many thousand variables: each item is made whole before it joins the list, and
    // all items take one size, so that neither the adding nor the first layout measures every
    // item.
    list->setUniformItemSizes(true);
    for (std::int32_t v = 1; v <= data.variables(); ++v) {
        // "Var 2  score" for a variable named on the file's first line.
        const std::string& name = data.name(v);
        QString text = QStringLiteral("Var %1").arg(v);
        if (!name.empty()) text += QStringLiteral("  ") + FromCore(name);
        if (data.isText(v)) text += QStringLiteral(" (text)");
        auto* item = new QListWidgetItem(text);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        list->addItem(item);
    }
    // The one size is the last item's: its height, and no width of its own, so that every item
    // is as wide as the list and a name too long for it is cut in the middle.
    if (list->count() == 0) return;
    QStyleOptionViewItem option;
    option.initFrom(list);
    const QSize last =
        list->itemDelegate()->sizeHint(option, list->model()->index(list->count() - 1, 0));
    list->item(list->count() - 1)->setSizeHint(QSize(0, last.height()));
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
