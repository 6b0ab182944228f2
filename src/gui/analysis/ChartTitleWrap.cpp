#include "gui/analysis/ChartTitleWrap.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <algorithm>

namespace {

// Beside the chart's margins: the title's own text margins, with a little to spare for the
// rounding of its measure.
constexpr int kTitleSlack = 16;

// A word too long for any line, in pieces that fit.
QStringList BreakWord(const QString& word, const QFontMetrics& metrics, int width) {
    QStringList pieces;
    QString piece;
    for (const QChar c : word) {
        if (!piece.isEmpty() && metrics.horizontalAdvance(piece + c) > width) {
            pieces << piece;
            piece.clear();
        }
        piece += c;
    }
    if (!piece.isEmpty()) pieces << piece;
    return pieces;
}

}  // namespace

ChartTitleWrap::ChartTitleWrap(QChartView* view) : QObject(view), m_view(view) {
    view->installEventFilter(this);
}

void ChartTitleWrap::setTitle(const QString& whole) {
    m_whole = whole;
    show();
}

QStringList ChartTitleWrap::wrap(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (metrics.horizontalAdvance(longer) <= width) {
            line = longer;
            continue;
        }
        if (!line.isEmpty()) lines << line;
        line = word;
        if (metrics.horizontalAdvance(word) > width) {
            QStringList pieces = BreakWord(word, metrics, width);
            line = pieces.takeLast();
            lines << pieces;
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

bool ChartTitleWrap::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::Resize) show();
    return QObject::eventFilter(watched, event);
}

void ChartTitleWrap::show() {
    QChart* chart = m_view->chart();
    if (chart == nullptr) return;
    // The title spans the chart inside its margins; the chart fills the view.
    const QMargins margins = chart->margins();
    qreal left = 0, top = 0, right = 0, bottom = 0;
    chart->layout()->getContentsMargins(&left, &top, &right, &bottom);
    // The view's own size is already the new one while its resize is being told, its
    // viewport's not yet.
    const int width = m_view->width() - 2 * m_view->frameWidth() - margins.left() -
                      margins.right() - static_cast<int>(left + right) - kTitleSlack;
    // The chart reads its title as rich text: each line is escaped, the breaks are tags.
    QStringList lines = wrap(m_whole, QFontMetrics(chart->titleFont()), std::max(width, 1));
    for (QString& line : lines) line = line.toHtmlEscaped();
    chart->setTitle(lines.join(QStringLiteral("<br>")));
}
