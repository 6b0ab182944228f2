#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>

class QChart;
class QGraphicsRectItem;
class QLineSeries;

// The values printed at the top of a chart's marker lines, laid out anew whenever the plot area
// changes so that no two overlap at any size: each sits centred over its line, else right or
// left of it, in the first row down from the top of the plot where it meets no other.
class MarkerLabels : public QObject {
    Q_OBJECT
  public:
    explicit MarkerLabels(QChart* chart);

    // `line`: the marker's series, which maps its value to a place on the chart.
    void add(QLineSeries* line, double value, const QString& text, const QColor& colour);

    void place();

    QStringList texts() const;
    // Where each label sits, in the chart's coordinates, in the order added.
    QList<QRectF> rects() const;
    // Where each label's line crosses the plot, in the same coordinates.
    QList<double> lineXs() const;

  private:
    struct Label {
        QLineSeries* line;
        double value;
        QString text;
        QGraphicsRectItem* box;
    };
    QChart* m_chart;
    QList<Label> m_labels;
};
