#include "app/AnalysisWindows.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <memory>
#include <new>
#include <utility>

#include "analysis/ui/frmCorvane.h"
#include "analysis/ui/frmDescriptives.h"
#include "common/Messages.h"
#include "data/ui/frmNavigate.h"
#include "data/modGeneral.h"
#include "platform/Guarded.h"
#include "platform/MessageService.h"

namespace {

std::function<void(QWidget&)>& scriptedStep() {
    static std::function<void(QWidget&)> step;
    return step;
}

}  // namespace

AnalysisWindows::AnalysisWindows(QWidget* owner, OutputPane* pane) : m_owner(owner), m_pane(pane) {}

AnalysisWindows::~AnalysisWindows() { discardAnalysisWindows(); }

QWidget* AnalysisWindows::corvane() const { return m_corvane.data(); }

QWidget* AnalysisWindows::descriptives() const { return m_descriptives.data(); }

frmCorvane* AnalysisWindows::corvaneInstance() {
    // A window closed from its title bar is released even before its deferred deletion ran.
    if (m_corvane && m_corvane->isUnloaded()) delete m_corvane.data();
    if (!m_corvane) m_corvane = new frmCorvane(m_pane, m_owner);
    return m_corvane;
}

frmDescriptives* AnalysisWindows::descriptivesInstance() {
    if (m_descriptives && m_descriptives->isUnloaded()) delete m_descriptives.data();
    if (!m_descriptives) m_descriptives = new frmDescriptives(m_pane, m_owner);
    return m_descriptives;
}

void AnalysisWindows::showCorvane() {
    execModal(*corvaneInstance());
    if (m_corvane && m_corvane->isUnloaded()) delete m_corvane.data();
}

void AnalysisWindows::showDescriptives() {
    execModal(*descriptivesInstance());
    if (m_descriptives && m_descriptives->isUnloaded()) delete m_descriptives.data();
}

void AnalysisWindows::showNavigate() {
    // Built afresh at every opening; a data set without a cell (1, 1) opens nothing.
    auto navigator = std::make_unique<frmNavigate>(m_owner);
    if (!navigator->Form_Load()) return;
    execModal(*navigator);
}

void AnalysisWindows::discardAnalysisWindows() {
    delete m_corvane.data();
    delete m_descriptives.data();
}

void AnalysisWindows::scriptNextShowing(std::function<void(QWidget&)> step) {
    scriptedStep() = std::move(step);
}

void AnalysisWindows::execModal(QDialog& window) {
    if (auto step = std::exchange(scriptedStep(), {})) {
        QPointer<QDialog> target = &window;
        QTimer::singleShot(0, &window, [target, step = std::move(step)] {
            if (target) step(*target);
        });
    }
    window.exec();
}

AnalysisDialog::AnalysisDialog(const QString& objectName, const QString& title, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
}

void AnalysisDialog::addVariableItems(QListWidget* list, std::int32_t variables) {
    for (std::int32_t v = 1; v <= variables; ++v) {
        // "Var 2  score" for a variable named on the file's first line.
        const std::string& name = corvane::VariableName(corvane::modGeneral::g_strVariableNames, v);
        QString text = QStringLiteral("Var %1").arg(v);
        if (!name.empty()) text += QStringLiteral("  ") + QString::fromStdString(name);
        auto* item = new QListWidgetItem(text, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
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

void AnalysisDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AnalysisDialog::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (event->isAccepted()) {
        m_unloaded = true;
        deleteLater();
    }
}

BusyPointer::BusyPointer(QWidget* window)
    : m_window(window),
      m_hadOwnCursor(window->testAttribute(Qt::WA_SetCursor)),
      m_previous(window->cursor()) {
    window->setCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer() {
    if (!m_window) return;
    if (m_hadOwnCursor)
        m_window->setCursor(m_previous);
    else
        m_window->unsetCursor();
}

QGroupBox* MakeFrame(QWidget* container, const char* name, const char* caption, int left, int top,
                     int width, int height) {
    auto* frame = MakeControl<QGroupBox>(container, name, left, top, width, height);
    frame->setTitle(QString::fromLatin1(caption));
    return frame;
}

QPushButton* MakeButton(QWidget* container, const char* name, const char* caption, int left,
                        int top, int width, int height) {
    auto* button = MakeCaptioned<QPushButton>(container, name, caption, left, top, width, height);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

namespace {

// Whether every caption of the window fits its fixed box in `font`.
bool captionsFit(const QWidget* window, const QFont& font) {
    const QStyle* style = window->style();
    const QFontMetrics m(font);
    const int radioExtra = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + 4;
    const int buttonExtra = 2 * style->pixelMetric(QStyle::PM_ButtonMargin) +
                            2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
    const int frameExtra = 16;
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        if (m.horizontalAdvance(l->text()) > l->width() - 2 * l->frameWidth()) return false;
    }
    for (const QRadioButton* b : window->findChildren<QRadioButton*>()) {
        if (m.horizontalAdvance(b->text()) + radioExtra > b->width()) return false;
    }
    for (const QPushButton* b : window->findChildren<QPushButton*>()) {
        if (m.horizontalAdvance(b->text()) + buttonExtra > b->width()) return false;
    }
    for (const QGroupBox* f : window->findChildren<QGroupBox*>()) {
        if (m.horizontalAdvance(f->title()) + frameExtra > f->width()) return false;
    }
    return true;
}

}  // namespace

void FixWindowFrame(QDialog* window, int clientWidth, int clientHeight) {
    // The fixed places were drawn for a narrow 8 pt dialog font: the window takes the
    // program's font at that size, condensed only as far as its captions need.
    QFont font = window->font();
    font.setPointSizeF(8.25);
    for (int stretch : {100, 94, 87, 81, 75}) {
        font.setStretch(stretch);
        if (captionsFit(window, font)) break;
    }
    window->setFont(font);

    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Twips::resizeClient(window, clientWidth, clientHeight);
    window->setFixedSize(window->size());
}
