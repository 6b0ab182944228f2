#include "gui/analysis/frmCorvane.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <charconv>
#include <exception>
#include <string>
#include <thread>

#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/EffectSizeReport.h"
#include "common/Single.h"
#include "common/UniformGenerator.h"
#include "gui/analysis/GroupValuesButton.h"
#include "gui/platform/BusyPointer.h"
#include "gui/platform/ElidedCaption.h"
#include "gui/platform/FixedLayout.h"
#include "gui/platform/GrowingLayout.h"
#include "gui/platform/StringConversions.h"
#include "gui/platform/TextStartShown.h"

// One analysis on its own thread. The thread writes `outcome` or `failure` and then posts the
// end to the window, which joins it before reading them.
struct frmCorvane::Run {
    std::uint64_t id = 0;
    // The run's own hold on the data set: a new one loaded meanwhile leaves it as it was.
    std::shared_ptr<const corvane::DataSet> data;
    corvane::EffectSizeRequest request;
    std::uint64_t seed = 0;
    corvane::CancelToken cancel;
    std::atomic<std::int32_t> completed{0};
    std::optional<corvane::Result<corvane::EffectSizeOutcome, corvane::AnalysisError>> outcome;
    std::exception_ptr failure;
    std::thread thread;
};

namespace {

// The trial box is brought up to date this often while a run goes on: more often than the
// core reports completed trials (every 50 ms), so every count it reports is shown.
constexpr int kProgressIntervalMs = 40;

// Where each trial button sits in its frame, in the order of kTrialChoices: two to a row.
struct TrialPlace {
    int left;
    int top;
    int width;
};
constexpr TrialPlace kTrialPlaces[] = {{120, 360, 975},  {1200, 360, 735}, {120, 720, 855},
                                       {1200, 720, 855}, {120, 1080, 855}, {1200, 1080, 855},
                                       {120, 1440, 855}, {1200, 1440, 855}};
static_assert(std::size(kTrialPlaces) == corvane::kTrialChoices.size());

}  // namespace

frmCorvane::frmCorvane(std::shared_ptr<const corvane::DataSet> data, OutputPane* pane,
                       QWidget* parent)
    : AnalysisDialog(QStringLiteral("frmCorvane"), QStringLiteral("Corvane"), parent),
      m_lngDV(corvane::kNone),
      m_lngGV(corvane::kNone),
      m_data(std::move(data)),
      m_pane(pane),
      m_seedSource(&corvane::UniformGenerator::ClockSeed),
      m_progressTimer(new QTimer(this)) {
    m_progressTimer->setInterval(kProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, [this] {
        if (m_run) showProgress(*m_run);
    });
    buildControls();
    followWindowSize();
    setFocusOrder();
    Form_Load();
}

void frmCorvane::buildControls() {
    buildVariableFrames();
    buildOptionFrames();
    FrameGrowingWindow(this, 6795, 7140);
}

// The two lists and the group boxes below the grouping variable's.
void frmCorvane::buildVariableFrames() {
    fraSelectDV = MakeFrame(this, "fraSelectDV", "Pick Dep. Variable", 120, 120, 1932, 3732);
    lstDV = MakeControl<QListWidget>(fraSelectDV, "lstDV", 240, 360, 1452, 2985);

    fraSelectGroups =
        MakeFrame(this, "fraSelectGroups", "Pick Group Variable", 2280, 120, 1932, 3732);
    lstGV = MakeControl<QListWidget>(fraSelectGroups, "lstGV", 240, 360, 1452, 2310);
    lblGroup1 =
        MakeCaptioned<QLabel>(fraSelectGroups, "lblGroup1", "Group 1:", 360, 2880, 852, 252);
    txtGroup1 = MakeControl<QLineEdit>(fraSelectGroups, "txtGroup1", 1080, 2880, 552, 285);
    cmdGroup1Values =
        MakeGroupValuesButton(fraSelectGroups, "cmdGroup1Values", txtGroup1, 1632, 2880);
    lblGroup2 =
        MakeCaptioned<QLabel>(fraSelectGroups, "lblGroup2", "Group 2:", 360, 3240, 732, 252);
    txtGroup2 = MakeControl<QLineEdit>(fraSelectGroups, "txtGroup2", 1080, 3240, 552, 285);
    cmdGroup2Values =
        MakeGroupValuesButton(fraSelectGroups, "cmdGroup2Values", txtGroup2, 1632, 3240);
    connect(txtGroup1, &QLineEdit::textChanged, this, &frmCorvane::txtGroup1_Change);
    connect(txtGroup2, &QLineEdit::textChanged, this, &frmCorvane::txtGroup2_Change);
}

// The choices of the run: trials, level, standardizing group, interval, seed, and the buttons.
void frmCorvane::buildOptionFrames() {
    fraTrials = MakeFrame(this, "fraTrials", "Pick Number of Trials", 4440, 120, 2295, 2172);
    for (std::size_t i = 0; i < optTrials.size(); ++i) {
        const std::string caption = std::to_string(corvane::kTrialChoices[i]);
        const std::string name = "opt" + caption;
        const TrialPlace& at = kTrialPlaces[i];
        optTrials[i] = MakeCaptioned<QRadioButton>(fraTrials, name.c_str(), caption.c_str(),
                                                   at.left, at.top, at.width, 252);
    }
    lblTrial = MakeCaptioned<QLabel>(fraTrials, "lblTrial", "Trial Number:", 120, 1800, 972, 252);
    txtTrial = MakeControl<QLineEdit>(fraTrials, "txtTrial", 1200, 1800, 735, 288);
    txtTrial->setReadOnly(true);
    QPalette trialPalette = txtTrial->palette();
    trialPalette.setColor(QPalette::Base, trialPalette.color(QPalette::Button));
    txtTrial->setPalette(trialPalette);

    fraConfidence =
        MakeFrame(this, "fraConfidence", "Pick Confidence Level", 4440, 2400, 2295, 1452);
    opt90CI = MakeCaptioned<QRadioButton>(fraConfidence, "opt90CI", "90% CI", 120, 360, 972, 252);
    opt95CI = MakeCaptioned<QRadioButton>(fraConfidence, "opt95CI", "95% CI", 120, 720, 1092, 252);
    opt99CI = MakeCaptioned<QRadioButton>(fraConfidence, "opt99CI", "99% CI", 120, 1080, 972, 252);

    fraPickGroup =
        MakeFrame(this, "fraPickGroup", "Use variance of which group?", 120, 3960, 6615, 855);
    // Wide enough for "Group 1 (control)": the group's name is added once a group is chosen.
    optGroup1 =
        MakeCaptioned<QRadioButton>(fraPickGroup, "optGroup1", "Group 1", 1800, 360, 1800, 252);
    optGroup2 =
        MakeCaptioned<QRadioButton>(fraPickGroup, "optGroup2", "Group 2", 3720, 360, 1800, 252);

    fraInterval = MakeFrame(this, "fraInterval", "Interval", 120, 4920, 6615, 855);
    optPercentile = MakeCaptioned<QRadioButton>(fraInterval, "optPercentile", "Percentile", 1800,
                                                360, 1335, 252);
    optBCa = MakeCaptioned<QRadioButton>(fraInterval, "optBCa", "BCa", 3720, 360, 852, 252);

    lblSeed = MakeCaptioned<QLabel>(this, "lblSeed", "Seed (empty: from the clock):", 240, 5955,
                                    3375, 252);
    txtSeed = MakeControl<QLineEdit>(this, "txtSeed", 3720, 5910, 3015, 285);

    cmdOK = MakeButton(this, "cmdOK", "OK", 1920, 6435, 1215, 495);
    cmdCancel = MakeButton(this, "cmdCancel", "Cancel", 3720, 6435, 1215, 495);
    connect(cmdOK, &QPushButton::clicked, this, &frmCorvane::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCorvane::cmdCancel_Click);
}

void frmCorvane::followWindowSize() {
    // The two lists share the extra width and take all the extra height; the choices beside
    // and below them keep their size and move with the edges they sit against.
    using Share = GrowingLayout::Share;
    auto* layout = new GrowingLayout(this);
    layout->follow(fraSelectDV, Share{.width = 0.5, .height = 1});
    layout->follow(lstDV, Share{.width = 0.5, .height = 1});
    layout->follow(fraSelectGroups, Share{.left = 0.5, .width = 0.5, .height = 1});
    layout->follow(lstGV, Share{.width = 0.5, .height = 1});
    for (QWidget* label : {lblGroup1, lblGroup2}) layout->follow(label, Share{.top = 1});
    for (QWidget* box : {txtGroup1, txtGroup2}) layout->follow(box, Share{.top = 1, .width = 0.5});
    for (QWidget* arrow : {cmdGroup1Values, cmdGroup2Values})
        layout->follow(arrow, Share{.left = 0.5, .top = 1});
    layout->follow(fraTrials, Share{.left = 1});
    layout->follow(fraConfidence, Share{.left = 1});
    layout->follow(fraPickGroup, Share{.top = 1, .width = 1});
    layout->follow(optGroup1, Share{.width = 0.5});
    layout->follow(optGroup2, Share{.left = 0.5, .width = 0.5});
    layout->follow(fraInterval, Share{.top = 1, .width = 1});
    layout->follow(lblSeed, Share{.top = 1});
    layout->follow(txtSeed, Share{.top = 1});
    for (QWidget* button : {cmdOK, cmdCancel}) layout->follow(button, Share{.left = 0.5, .top = 1});

    // Names too long for their boxes: the start of a group's label, the middle of a caption cut.
    new TextStartShown(txtGroup1);
    new TextStartShown(txtGroup2);
    m_captionGroup1 = new ElidedCaption(optGroup1);
    m_captionGroup2 = new ElidedCaption(optGroup2);
}

frmCorvane::~frmCorvane() {
    // However the window goes (released after an import, the program ending), no thread of it
    // outlives it.
    if (m_run) {
        m_run->cancel.cancel();
        m_run->thread.join();
    }
}

QRadioButton* frmCorvane::trialButton(std::int32_t trials) const {
    for (std::size_t i = 0; i < optTrials.size(); ++i)
        if (corvane::kTrialChoices[i] == trials) return optTrials[i];
    return nullptr;
}

void frmCorvane::setFocusOrder() {
    std::vector<QWidget*> order = {lstDV, lstGV, cmdOK, cmdCancel, txtGroup1, txtGroup2};
    order.insert(order.end(), optTrials.begin(), optTrials.end());
    order.insert(order.end(), {opt90CI, opt95CI, opt99CI, txtTrial, optGroup1, optGroup2,
                               optPercentile, optBCa, txtSeed});
    for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void frmCorvane::setDataSet(std::shared_ptr<const corvane::DataSet> data) {
    if (data == m_data) return;
    m_data = std::move(data);
    m_groupValues.clear();
    offerGroupValues();
    showGroupNames();
}

void frmCorvane::Form_Load() {
    addVariableItems(lstDV, *m_data);
    addVariableItems(lstGV, *m_data);
    // The handlers hear only ticks that really changed, so each member follows the ticked item
    // however the notifications arrive.
    watchTicks(lstDV, m_ticksDV, [this](int row) { lstDV_ItemCheck(row); });
    watchTicks(lstGV, m_ticksGV, [this](int row) { lstGV_ItemCheck(row); });
    m_lngDV = corvane::kNone;
    m_lngGV = corvane::kNone;
    optTrials.front()->setChecked(true);
    opt95CI->setChecked(true);
    optGroup1->setChecked(true);
    optPercentile->setChecked(true);
}

void frmCorvane::lstDV_ItemCheck(int index) { itemCheck(lstDV, m_lngDV, index); }

void frmCorvane::lstGV_ItemCheck(int index) {
    itemCheck(lstGV, m_lngGV, index);
    offerGroupValues();
    showGroupNames();
}

void frmCorvane::txtGroup1_Change() { showGroupNames(); }

void frmCorvane::txtGroup2_Change() { showGroupNames(); }

void frmCorvane::showGroupNames() {
    // "Group 1 (control)" once the box names a value of the ticked grouping variable; a name
    // too long is cut, "Group 1 (" never.
    auto show = [this](ElidedCaption* caption, const char* group, const QLineEdit* box) {
        const QString text = QString::fromLatin1(group);
        const auto named = m_lngGV == corvane::kNone
                               ? std::nullopt
                               : GroupNamed(*m_data, m_lngGV, ToCore(box->text()));
        if (!named) return caption->setText(text);
        const QString start = text + QStringLiteral(" (");
        caption->setText(start + FromCore(*named) + QStringLiteral(")"), start.size());
    };
    show(m_captionGroup1, "Group 1", txtGroup1);
    show(m_captionGroup2, "Group 2", txtGroup2);
}

const std::optional<std::vector<GroupValue>>& frmCorvane::groupValues(std::int32_t variable) {
    auto at = m_groupValues.find(variable);
    if (at == m_groupValues.end()) {
        const BusyPointer busy(this);
        at = m_groupValues.emplace(variable, GroupValuesOf(*m_data, variable)).first;
    }
    return at->second;
}

void frmCorvane::offerGroupValues() {
    static const std::optional<std::vector<GroupValue>> none;
    const auto& values = m_lngGV == corvane::kNone ? none : groupValues(m_lngGV);
    OfferGroupValues(cmdGroup1Values, txtGroup1, values);
    OfferGroupValues(cmdGroup2Values, txtGroup2, values);
}

void frmCorvane::itemCheck(QListWidget* list, std::int32_t& member, int index) {
    QListWidgetItem* item = list->item(index);
    if (item == nullptr) return;
    const std::int32_t variable = index + 1;
    if (item->checkState() != Qt::Checked) {
        // The ticked item has been unticked; unticking any other item changes nothing.
        if (member == variable) member = corvane::kNone;
        return;
    }
    if (member == variable) return;
    // Unticking the old item raises this handler again for it, which clears the member; the
    // new item's number is stored last.
    for (int i = 0; i < list->count(); ++i) {
        if (i != index && list->item(i)->checkState() == Qt::Checked)
            list->item(i)->setCheckState(Qt::Unchecked);
    }
    member = variable;
}

void frmCorvane::setSeedSource(std::function<std::uint64_t()> source) {
    m_seedSource = std::move(source);
}

void frmCorvane::cmdOK_Click() {
    runGuarded([this] { runAnalysis(); });
}

corvane::EffectSizeRequest frmCorvane::requestFromControls() const {
    corvane::EffectSizeRequest request;
    for (std::size_t i = 0; i < optTrials.size(); ++i) {
        if (optTrials[i]->isChecked()) {
            request.settings.trials = corvane::kTrialChoices[i];
            break;
        }
    }
    const QRadioButton* const levelButtons[] = {opt90CI, opt95CI, opt99CI};
    static_assert(std::size(levelButtons) == corvane::kLevelPercents.size());
    for (std::size_t i = 0; i < std::size(levelButtons); ++i) {
        if (levelButtons[i]->isChecked()) {
            request.settings.level = *corvane::ConfidenceLevel(corvane::kLevelPercents[i]);
            break;
        }
    }
    request.settings.chosenGroup = optGroup2->isChecked() ? 2 : 1;
    request.settings.method =
        optBCa->isChecked() ? corvane::IntervalMethod::BCa : corvane::IntervalMethod::Percentile;
    request.code1Text = ToCore(txtGroup1->text());
    request.code2Text = ToCore(txtGroup2->text());
    request.dependent = m_lngDV;
    request.grouping = m_lngGV;
    return request;
}

void frmCorvane::runAnalysis() {
    if (m_run) return;
    // Every OK draws from a generator seeded afresh: from the seed box, else from the source.
    const std::string seedText = ToCore(txtSeed->text().trimmed());
    std::uint64_t seed = 0;
    if (seedText.empty()) {
        seed = m_seedSource();
    } else {
        const char* end = seedText.data() + seedText.size();
        const auto [at, ec] = std::from_chars(seedText.data(), end, seed);
        if (ec != std::errc() || at != end) {
            showFailure(corvane::AnalysisError{corvane::AnalysisError::Kind::SeedInvalid});
            return;
        }
    }
    auto run = std::make_unique<Run>();
    run->id = ++m_runId;
    run->request = requestFromControls();
    run->seed = seed;
    run->data = m_data;
    Run* const r = run.get();
    // Releasing this window joins the thread first.
    run->thread = std::thread([this, r] {
        try {
            r->outcome.emplace(corvane::RunEffectSizeAnalysis(
                *r->data, r->request, r->seed,
                [r](std::int32_t done) { r->completed.store(done, std::memory_order_relaxed); },
                corvane::RunOptions{0, &r->cancel}));
        } catch (...) {
            r->failure = std::current_exception();
        }
        const std::uint64_t id = r->id;
        QMetaObject::invokeMethod(
            this, [this, id] { finishRun(id); }, Qt::QueuedConnection);
    });
    m_run = std::move(run);

    m_busy.emplace(this);
    // The trial box stays enabled and has a text pointer of its own; disabled controls show
    // the window's.
    m_busyTrialBox.emplace(txtTrial);
    m_focusBeforeRun = focusWidget();
    cmdCancel->setFocus();
    setControlsEnabled(false);
    m_progressTimer->start();
}

void frmCorvane::finishRun(std::uint64_t id) {
    if (!m_run || m_run->id != id) return;  // the end of a run already stopped
    const std::unique_ptr<Run> run = std::move(m_run);
    run->thread.join();
    endRun(*run);
    // A box comes while the busy pointer is still up.
    runGuarded([&] {
        if (run->failure) std::rethrow_exception(run->failure);
        const auto& outcome = *run->outcome;
        if (!outcome.ok() && outcome.error().cancelled()) return;
        finish(outcome, m_pane, &corvane::BuildReport);
        if (outcome.ok() && m_runSucceeded) m_runSucceeded(outcome.value());
    });
    m_busyTrialBox.reset();
    m_busy.reset();
}

void frmCorvane::stopRun() {
    if (!m_run) return;
    const std::unique_ptr<Run> run = std::move(m_run);
    run->cancel.cancel();
    run->thread.join();
    endRun(*run);
    m_busyTrialBox.reset();
    m_busy.reset();
}

void frmCorvane::endRun(const Run& run) {
    m_progressTimer->stop();
    showProgress(run);
    setControlsEnabled(true);
    if (m_focusBeforeRun && isVisible()) m_focusBeforeRun->setFocus();
    m_focusBeforeRun = nullptr;
}

void frmCorvane::showProgress(const Run& run) {
    const std::int32_t done = run.completed.load(std::memory_order_relaxed);
    if (done <= 0 || txtTrial->text() == QString::number(done)) return;
    txtTrial->setText(QString::number(done));
    txtTrial->repaint();
}

void frmCorvane::setControlsEnabled(bool enabled) {
    // The trial box and its label stay readable; Cancel stays pressable.
    QWidget* const controls[] = {fraSelectDV, fraSelectGroups, fraConfidence, fraPickGroup,
                                 fraInterval, txtSeed,         cmdOK};
    for (QWidget* w : controls) w->setEnabled(enabled);
    for (QRadioButton* b : optTrials) b->setEnabled(enabled);
}

void frmCorvane::cmdCancel_Click() {
    if (m_run) {
        stopRun();
        return;
    }
    hide();
}

void frmCorvane::keyPressEvent(QKeyEvent* event) {
    if (m_run && event->key() == Qt::Key_Escape) {
        event->accept();
        stopRun();
        return;
    }
    AnalysisDialog::keyPressEvent(event);
}

void frmCorvane::closeEvent(QCloseEvent* event) {
    stopRun();
    AnalysisDialog::closeEvent(event);
}
