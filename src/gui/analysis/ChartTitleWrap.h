#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QChartView;
class QFontMetrics;

// The title of the chart a view shows, wrapped at word boundaries to the chart's width and
// wrapped anew whenever the view changes size, so a title is never cut off, on the screen or in
// a picture made of the view. Only a word longer than a whole line is broken inside.
class ChartTitleWrap : public QObject {
  public:
    explicit ChartTitleWrap(QChartView* view);

    // The title of the chart the view shows now, whole.
    void setTitle(const QString& whole);
    const QString& title() const { return m_whole; }

    // `text` in lines no wider than `width`, broken at spaces.
    static QStringList wrap(const QString& text, const QFontMetrics& metrics, int width);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void show();

    QChartView* m_view;
    QString m_whole;
};
