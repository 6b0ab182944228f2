#include "gui/app/AnalysisWindows.h"

#include <memory>
#include <utility>

#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/BootstrapDistributions.h"
#include "analysis/render/PaperSentence.h"
#include "data/modGeneral.h"
#include "gui/analysis/frmCorvane.h"
#include "gui/analysis/frmDescriptives.h"
#include "gui/data/frmDataTable.h"
#include "gui/data/frmNavigate.h"

AnalysisWindows::AnalysisWindows(QWidget* owner, OutputPane* pane, RememberedFolder pictureFolder)
    : m_owner(owner), m_pane(pane), m_distributions(owner, std::move(pictureFolder)) {}

AnalysisWindows::~AnalysisWindows() {
    m_distributions.setAvailabilityListener({});
    m_paperSentenceListener = nullptr;
    discardAnalysisWindows();
    delete m_dataTable.data();
}

QWidget* AnalysisWindows::corvane() const { return m_corvane.existing(); }

QWidget* AnalysisWindows::descriptives() const { return m_descriptives.existing(); }

frmDataTable* AnalysisWindows::dataTable() const { return m_dataTable.data(); }

frmCorvane* AnalysisWindows::corvaneInstance() {
    return m_corvane.get([this] { return newCorvane(); });
}

frmCorvane* AnalysisWindows::newCorvane() {
    auto* window = new frmCorvane(corvane::modGeneral::Current(), m_pane, m_owner);
    window->setRunSucceeded([this](const corvane::EffectSizeOutcome& outcome) {
        m_distributions.keepRun(corvane::MakeBootstrapDistributions(outcome));
        m_paperSentence = corvane::PaperSentence(outcome);
        if (m_paperSentenceListener) m_paperSentenceListener(true);
    });
    return window;
}

frmDescriptives* AnalysisWindows::descriptivesInstance() {
    return m_descriptives.get(
        [this] { return new frmDescriptives(corvane::modGeneral::Current(), m_pane, m_owner); });
}

// Each showing hands the window the data set loaded now.
void AnalysisWindows::showCorvane() {
    frmCorvane* window = corvaneInstance();
    window->setDataSet(corvane::modGeneral::Current());
    m_corvane.showModal([window] { return window; });
}

void AnalysisWindows::showDescriptives() {
    frmDescriptives* window = descriptivesInstance();
    window->setDataSet(corvane::modGeneral::Current());
    m_descriptives.showModal([window] { return window; });
}

void AnalysisWindows::showNavigate() {
    // Built afresh at every opening; a data set without a cell (1, 1) opens nothing.
    auto navigator = std::make_unique<frmNavigate>(corvane::modGeneral::Current(), m_owner);
    if (!navigator->Form_Load()) return;
    navigator->exec();
}

void AnalysisWindows::showDataTable() {
    if (!m_dataTable) {
        m_dataTable = new frmDataTable(corvane::modGeneral::Current(), m_owner);
        m_dataTable->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_dataTable->show();
    m_dataTable->raise();
    m_dataTable->activateWindow();
}

void AnalysisWindows::followDataSet() {
    if (m_dataTable) m_dataTable->setDataSet(corvane::modGeneral::Current());
}

void AnalysisWindows::discardAnalysisWindows() {
    m_corvane.discard();
    m_descriptives.discard();
    m_distributions.drop();
    m_paperSentence.clear();
    if (m_paperSentenceListener) m_paperSentenceListener(false);
}

void AnalysisWindows::setPaperSentenceListener(std::function<void(bool)> listener) {
    m_paperSentenceListener = std::move(listener);
    if (m_paperSentenceListener) m_paperSentenceListener(!m_paperSentence.empty());
}
