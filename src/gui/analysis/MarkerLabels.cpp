#include "gui/analysis/MarkerLabels.h"

#include <QBrush>
#include <QChart>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QPen>
#include <algorithm>
#include <numeric>

namespace {

constexpr double kPad = 2;  // around the text, inside its box
constexpr double kGap = 3;  // between a line and a label beside it

}  // namespace

MarkerLabels::MarkerLabels(QChart* chart) : QObject(chart), m_chart(chart) {
    setObjectName(QStringLiteral("markerLabels"));
    connect(chart, &QChart::plotAreaChanged, this, &MarkerLabels::place);
}

void MarkerLabels::add(QLineSeries* line, double value, const QString& text, const QColor& colour) {
    auto* box = new QGraphicsRectItem(m_chart);
    // Over the bars, and readable where a lower row meets them.
    box->setBrush(QColor(255, 255, 255, 220));
    box->setPen(Qt::NoPen);
    box->setZValue(100);
    auto* label = new QGraphicsSimpleTextItem(text, box);
    label->setBrush(colour);
    label->setPos(kPad, kPad);
    const QRectF textRect = label->boundingRect();
    box->setRect(0, 0, textRect.width() + 2 * kPad, textRect.height() + 2 * kPad);
    m_labels.append({line, value, text, box});
    place();
}

void MarkerLabels::place() {
    const QRectF plot = m_chart->plotArea();
    // Left to right, so that a crowd steps down in the order the lines stand.
    std::vector<int> order(static_cast<std::size_t>(m_labels.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return m_labels[a].value < m_labels[b].value; });
    QList<QRectF> placed;
    for (const int i : order) {
        const Label& l = m_labels[i];
        const double x = m_chart->mapToPosition(QPointF(l.value, 0), l.line).x();
        const double w = l.box->rect().width(), h = l.box->rect().height();
        const double clamped = std::max(plot.left(), std::min(x - w / 2, plot.right() - w));
        // Centred, after, before; clamped into the plot as the last resort, which an empty row
        // (there is always one among as many rows as labels) never refuses.
        const double lefts[] = {x - w / 2, x + kGap, x - kGap - w, clamped};
        QRectF chosen;
        for (int row = 0; row <= m_labels.size() && chosen.isNull(); ++row) {
            for (const double left : lefts) {
                const QRectF r(left, plot.top() + 1 + row * (h + 1), w, h);
                const bool inside = r.left() >= plot.left() && r.right() <= plot.right();
                const bool free = std::none_of(placed.begin(), placed.end(),
                                               [&r](const QRectF& p) { return p.intersects(r); });
                if ((inside || left == clamped) && free) {
                    chosen = r;
                    break;
                }
            }
        }
        l.box->setPos(chosen.topLeft());
        placed.append(chosen);
    }
}

QStringList MarkerLabels::texts() const {
    QStringList out;
    for (const Label& l : m_labels) out << l.text;
    return out;
}

QList<QRectF> MarkerLabels::rects() const {
    QList<QRectF> out;
    for (const Label& l : m_labels) out << l.box->mapRectToParent(l.box->rect());
    return out;
}

QList<double> MarkerLabels::lineXs() const {
    QList<double> out;
    for (const Label& l : m_labels) out << m_chart->mapToPosition(QPointF(l.value, 0), l.line).x();
    return out;
}
