#include "gui/analysis/frmDescriptives.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdint>
#include <utility>

#include "analysis/Descriptives.h"
#include "analysis/render/DescriptivesReport.h"
#include "gui/platform/BusyPointer.h"
#include "gui/platform/FixedLayout.h"
#include "gui/platform/GrowingLayout.h"

frmDescriptives::frmDescriptives(std::shared_ptr<const corvane::DataSet> data, OutputPane* pane,
                                 QWidget* parent)
    : AnalysisDialog(QStringLiteral("frmDescriptives"), QStringLiteral("Descriptives"), parent),
      m_data(std::move(data)),
      m_pane(pane) {
    buildControls();
    Form_Load();
}

void frmDescriptives::setDataSet(std::shared_ptr<const corvane::DataSet> data) {
    m_data = std::move(data);
}

void frmDescriptives::buildControls() {
    fraSelectItems = MakeFrame(this, "fraSelectItems", "Select Items", 240, 120, 3015, 4215);
    lstItems = MakeControl<QListWidget>(fraSelectItems, "lstItems", 360, 360, 1935, 2760);
    optRanges = MakeCaptioned<QRadioButton>(fraSelectItems, "optRanges", "Range of Items", 240,
                                            3480, 1815, 255);
    optIndividual = MakeCaptioned<QRadioButton>(fraSelectItems, "optIndividual", "Individual Items",
                                                240, 3840, 2055, 255);
    cmdOK = MakeButton(this, "cmdOK", "OK", 360, 4560, 1215, 495);
    cmdCancel = MakeButton(this, "cmdCancel", "Cancel", 1920, 4560, 1215, 495);
    connect(cmdOK, &QPushButton::clicked, this, &frmDescriptives::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDescriptives::cmdCancel_Click);

    setTabOrder(lstItems, optRanges);
    setTabOrder(optRanges, optIndividual);
    setTabOrder(optIndividual, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    FrameGrowingWindow(this, 3435, 5235);
    // The list takes all the extra room; the mode and the buttons stay under it.
    using Share = GrowingLayout::Share;
    auto* layout = new GrowingLayout(this);
    layout->follow(fraSelectItems, Share{.width = 1, .height = 1});
    layout->follow(lstItems, Share{.width = 1, .height = 1});
    for (QWidget* mode : {optRanges, optIndividual}) layout->follow(mode, Share{.top = 1});
    for (QWidget* button : {cmdOK, cmdCancel}) layout->follow(button, Share{.left = 0.5, .top = 1});
}

void frmDescriptives::Form_Load() {
    addVariableItems(lstItems, *m_data);
    // Only a change of an item's tick runs the range filling.
    watchTicks(lstItems, m_ticks, [this](int row) { lstItems_ItemCheck(row); });
    optRanges->setChecked(true);
}

bool frmDescriptives::isTicked(int index) const {
    const QListWidgetItem* item = lstItems->item(index);
    return item != nullptr && item->checkState() == Qt::Checked;
}

void frmDescriptives::lstItems_ItemCheck(int index) {
    // The items the range filling ticks itself would only find the same items to fill.
    if (m_filling) return;
    if (!optRanges->isChecked() || index <= 0 || !isTicked(index)) return;
    int nearest = index - 1;
    while (nearest >= 0 && !isTicked(nearest)) --nearest;
    if (nearest < 0) return;
    m_filling = true;
    for (int m = index - 1; m > nearest; --m) lstItems->item(m)->setCheckState(Qt::Checked);
    m_filling = false;
}

void frmDescriptives::cmdOK_Click() {
    runGuarded([this] { runAnalysis(); });
}

void frmDescriptives::runAnalysis() {
    const BusyPointer busy(this);
    // The scan follows the data set's number of variables, which an import that ended early
    // may have set below the length of the list.
    const corvane::DataSet& data = *m_data;
    const int scanned = std::min<int>(data.variables(), lstItems->count());
    std::vector<std::int32_t> variables;
    for (int i = 0; i < scanned; ++i) {
        if (isTicked(i)) variables.push_back(i + 1);
    }
    const auto rows = corvane::ComputeDescriptives(data, variables);
    finish(rows, m_pane, [&data](const std::vector<corvane::DescriptiveRow>& r) {
        return corvane::BuildDescriptivesReport(r, data.names());
    });
}

void frmDescriptives::cmdCancel_Click() { hide(); }
