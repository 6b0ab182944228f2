#include "gui/analysis/frmBootstrapDistributions.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "common/Messages.h"
#include "gui/analysis/ChartTitleWrap.h"
#include "gui/analysis/MarkerLabels.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/StringConversions.h"
#include "output/OutputFile.h"

namespace {

// A vertical line over the bars at a marker, named in the legend, with its value printed at
// its top.
void AddMarker(QChart* chart, QValueAxis* x, QValueAxis* y, MarkerLabels* labels,
               const corvane::DistributionMarker& m, const QString& name, Qt::PenStyle style,
               const QColor& colour) {
    auto* line = new QLineSeries(chart);
    line->setName(name + QStringLiteral(" = ") + FromCore(m.text));
    line->append(m.value, 0);
    line->append(m.value, y->max());
    QPen pen(colour, 2, style);
    line->setPen(pen);
    chart->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
    labels->add(line, m.value, FromCore(m.text), colour);
}

// Ticks at a round step that gives about six over the span, the axis ending where the span does.
void SetTicks(QValueAxis* x, double low, double high) {
    const double raw = (high - low) / 6;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * magnitude;
    for (const double f : {1.0, 2.0, 5.0}) {
        if (f * magnitude >= raw) {
            step = f * magnitude;
            break;
        }
    }
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setTickInterval(step);
}

QChart* BuildChart(const corvane::BootstrapDistribution& dist, const QString& effect) {
    auto* chart = new QChart;
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto* x = new QValueAxis(chart);
    x->setRange(dist.axisLow(), dist.axisHigh());
    SetTicks(x, dist.axisLow(), dist.axisHigh());
    x->setTitleText(effect);
    x->setLabelFormat(QStringLiteral("%.2f"));
    auto* y = new QValueAxis(chart);
    const int highest = std::max(1, dist.highestCount());
    // Room above the tallest bar for the markers' values.
    y->setRange(0, highest * 1.15);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("Trials"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    // The bars as one filled outline stepping over the bin edges.
    if (!dist.viewBins().empty()) {
        auto* outline = new QLineSeries(chart);
        for (const corvane::HistogramBin& b : dist.viewBins()) {
            outline->append(b.lower, 0);
            outline->append(b.lower, b.count);
            outline->append(b.upper, b.count);
            outline->append(b.upper, 0);
        }
        auto* bars = new QAreaSeries(outline);
        bars->setName(QStringLiteral("Trials"));
        bars->setBrush(QColor(0x9c, 0xb8, 0xd8));
        bars->setPen(QPen(QColor(0x3f, 0x5f, 0x86), 1));
        chart->addSeries(bars);
        bars->attachAxis(x);
        bars->attachAxis(y);
        for (QLegendMarker* marker : chart->legend()->markers(bars)) marker->setVisible(false);
    }
    auto* labels = new MarkerLabels(chart);
    if (dist.hasObserved()) {
        AddMarker(chart, x, y, labels, dist.observed(), effect, Qt::SolidLine, Qt::black);
    }
    if (dist.hasBounds()) {
        const QColor bound(0xb0, 0x1e, 0x1e);
        AddMarker(chart, x, y, labels, dist.lower(), QStringLiteral("Lower bound"), Qt::DashLine,
                  bound);
        AddMarker(chart, x, y, labels, dist.upper(), QStringLiteral("Upper bound"), Qt::DashLine,
                  bound);
    }
    return chart;
}

// "robust_d" -> "RobustD": an estimate's key as the names of its controls spell it.
QString ControlName(const char* key) {
    QString out;
    bool upper = true;
    for (const QChar c : QString::fromLatin1(key)) {
        if (c == QLatin1Char('_')) {
            upper = true;
            continue;
        }
        out += upper ? c.toUpper() : c;
        upper = false;
    }
    return out;
}

QChartView* MakeView(QWidget* parent, const QString& name) {
    auto* view = new QChartView(parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, 240);
    return view;
}

// Under a chart: how many trials lie beyond its axis; hidden when none does.
QLabel* MakeBeyondLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->hide();
    return label;
}

void ShowBeyond(QLabel* label, const corvane::BootstrapDistribution& dist) {
    label->setText(FromCore(dist.beyondAxisText()));
    label->setVisible(!label->text().isEmpty());
}

}  // namespace

frmBootstrapDistributions::frmBootstrapDistributions(QWidget* parent, ChoosePictureFile choose,
                                                     RememberedFolder lastFolder)
    : QWidget(parent, Qt::Window),
      m_choose(std::move(choose)),
      m_lastFolder(std::move(lastFolder)) {
    setObjectName(QStringLiteral("frmBootstrapDistributions"));
    setWindowTitle(QStringLiteral("Bootstrap Distributions"));

    m_pictures = new QWidget(this);
    m_pictures->setObjectName(QStringLiteral("m_pictures"));
    m_pictures->setAutoFillBackground(true);
    auto* charts = new QVBoxLayout(m_pictures);
    charts->setContentsMargins(0, 0, 0, 0);
    for (const corvane::EstimateDescription& e : corvane::kEstimates) {
        const QString name = ControlName(e.key);
        QChartView*& view = m_charts[corvane::IndexOf(e.kind)];
        QLabel*& beyond = m_beyond[corvane::IndexOf(e.kind)];
        view = MakeView(m_pictures, QStringLiteral("cht") + name);
        m_titles[corvane::IndexOf(e.kind)] = new ChartTitleWrap(view);
        beyond =
            MakeBeyondLabel(m_pictures, QStringLiteral("lbl") + name + QStringLiteral("Beyond"));
        charts->addWidget(view, 1);
        charts->addWidget(beyond);
    }

    cmdSavePicture = new QPushButton(QStringLiteral("Save Picture..."), this);
    cmdSavePicture->setObjectName(QStringLiteral("cmdSavePicture"));
    cmdSavePicture->setAutoDefault(false);
    connect(cmdSavePicture, &QPushButton::clicked, this, [this] {
        Guarded(this, QStringLiteral("Save Picture"), [this] { cmdSavePicture_Click(); });
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSavePicture);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pictures, 1);
    layout->addLayout(buttons);
    // Its drawn size, or less on a screen too small for that (a laptop at 150%), so that the
    // whole window and its button are in sight.
    QSize size(760, 720);
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() * 0.9);
    resize(size.expandedTo(minimumSizeHint()));
}

void frmBootstrapDistributions::showDistributions(const corvane::BootstrapDistributions& run) {
    // A view owns its chart but lets go of the one it replaces, which goes here.
    auto replace = [](QChartView* view, QChart* chart) {
        QChart* old = view->chart();
        view->setChart(chart);
        delete old;
    };
    for (const corvane::EstimateDistribution& d : run.estimates) {
        const QString name = QString::fromUtf8(corvane::Describe(d.kind).name);
        replace(chartView(d.kind), BuildChart(d.picture, name));
        m_titles[corvane::IndexOf(d.kind)]->setTitle(FromCore(d.title));
        ShowBeyond(beyondLabel(d.kind), d.picture);
    }
    m_fileStem = run.fileStem;
}

QString frmBootstrapDistributions::title(corvane::EstimateKind kind) const {
    return m_titles[corvane::IndexOf(kind)]->title();
}

QString frmBootstrapDistributions::suggestedPath() const {
    QString folder = m_lastFolder.folder();
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    }
    const QString stem =
        m_fileStem.empty() ? QStringLiteral("bootstrap-distributions") : FromCore(m_fileStem);
    return QDir(folder).filePath(stem + QStringLiteral(".png"));
}

void frmBootstrapDistributions::cmdSavePicture_Click() {
    const QString caption = QStringLiteral("Save Picture");
    const QString filter = QStringLiteral("PNG image (*.png);;SVG image (*.svg)");
    const QString start = suggestedPath();
    const QString path = m_choose ? m_choose(this, caption, start, filter)
                                  : QFileDialog::getSaveFileName(this, caption, start, filter);
    if (path.isEmpty()) return;
    const QString failure = savePicture(path);
    if (!failure.isEmpty()) {
        MessageService::warning(this, caption, failure);
        return;
    }
    m_lastFolder.keepFolderOf(path);
}

QByteArray frmBootstrapDistributions::svgPicture() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(m_pictures->size());
    generator.setViewBox(QRect(QPoint(0, 0), m_pictures->size()));
    generator.setTitle(windowTitle());
    QPainter painter;
    if (!painter.begin(&generator)) return {};
    m_pictures->render(&painter);
    painter.end();
    return bytes;
}

QByteArray frmBootstrapDistributions::printPng() const {
    // Twice the window's pixels, and wide enough for a journal's column at print resolution;
    // the charts are drawn afresh at that scale, not enlarged from the screen.
    const QSize size = m_pictures->size();
    const double scale =
        std::max(2.0 * devicePixelRatioF(), static_cast<double>(kPictureMinWidth) / size.width());
    QImage image(static_cast<int>(std::ceil(size.width() * scale)),
                 static_cast<int>(std::ceil(size.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(m_pictures->palette().color(QPalette::Window));
    m_pictures->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const int dotsPerMeter = static_cast<int>(std::lround(kPictureDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return bytes;
}

QString frmBootstrapDistributions::savePicture(const QString& path) {
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    if (!svg && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        return QString::fromUtf8(corvane::msg::kPictureNameNeedsExtension);
    }
    auto failed = [&path](const std::string& reason, bool oldFileLost = false) {
        return FromCore(corvane::msg::PictureNotSaved(ToCore(path), reason, oldFileLost));
    };
    // The picture is made in memory first, so a picture that cannot be made touches no file.
    const QByteArray bytes = svg ? svgPicture() : printPng();
    if (bytes.isEmpty())
        return failed(svg ? "the SVG could not be made" : "the PNG could not be made");

    // The output files' own save: a complete file or the old one, its mode and links kept.
    const auto saved = corvane::SaveFileSafely(
        ToNativePath(path), std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!saved) return failed(saved.error().reason, saved.error().oldFileLost);
    return {};
}
