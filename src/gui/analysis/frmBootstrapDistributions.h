#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "analysis/BootstrapDistribution.h"

class QChartView;
class QLabel;
class QPushButton;

// "Bootstrap Distributions": the histograms of the last effect-size run's bootstrap trials,
// Cohen's D above Robust Cohen's D, with the observed value and the interval bounds marked and,
// under each, how many trials lie beyond its axis.
// Shown beside the main window, not modally, and resizable; "Save Picture..." writes both
// histograms as PNG or SVG.
class frmBootstrapDistributions : public QWidget {
    Q_OBJECT
  public:
    // Asks for the picture's file name (parent, caption, filter); empty when the user cancels.
    using ChoosePictureFile = std::function<QString(QWidget*, const QString&, const QString&)>;

    // None: the desktop's standard file dialog.
    explicit frmBootstrapDistributions(QWidget* parent = nullptr, ChoosePictureFile choose = {});

    // Replaces both pictures with those of a run.
    void showDistributions(const corvane::BootstrapDistributions& run);

    void cmdSavePicture_Click();

    // Writes both histograms to `path`: SVG for a name ending in ".svg", PNG for ".png" (either
    // case). The file is replaced only once the picture is complete. Empty on success, else
    // the message for the user.
    QString savePicture(const QString& path);

    QChartView* chtD;
    QChartView* chtRobustD;
    QLabel* lblDBeyond;
    QLabel* lblRobustDBeyond;
    QPushButton* cmdSavePicture;

  private:
    QWidget* m_pictures;  // the two charts: what a saved picture shows
    ChoosePictureFile m_choose;
};
