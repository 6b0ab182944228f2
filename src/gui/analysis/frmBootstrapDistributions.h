#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "analysis/render/BootstrapDistributions.h"

class QChartView;
class QLabel;
class QPushButton;

// "Bootstrap Distributions": the histograms of the last effect-size run's bootstrap trials, one
// per estimate in the order of kEstimates (Cohen's D above Robust Cohen's D), with the observed
// value and the interval bounds marked and, under each, how many trials lie beyond its axis.
// Shown beside the main window, not modally, and resizable; "Save Picture..." writes the
// histograms as PNG or SVG.
class frmBootstrapDistributions : public QWidget {
    Q_OBJECT
  public:
    // Asks for the picture's file name (parent, caption, filter); empty when the user cancels.
    using ChoosePictureFile = std::function<QString(QWidget*, const QString&, const QString&)>;

    // None: the desktop's standard file dialog.
    explicit frmBootstrapDistributions(QWidget* parent = nullptr, ChoosePictureFile choose = {});

    // Replaces the pictures with those of a run.
    void showDistributions(const corvane::BootstrapDistributions& run);

    void cmdSavePicture_Click();

    // Writes the histograms to `path`: SVG for a name ending in ".svg", PNG for ".png" (either
    // case). The file is replaced only once the picture is complete. Empty on success, else
    // the message for the user.
    QString savePicture(const QString& path);

    // An estimate's chart ("chtD", "chtRobustD") and the label under it that counts the trials
    // beyond its axis ("lblDBeyond", "lblRobustDBeyond").
    QChartView* chart(corvane::EstimateKind kind) const { return m_charts[corvane::IndexOf(kind)]; }
    QLabel* beyondLabel(corvane::EstimateKind kind) const {
        return m_beyond[corvane::IndexOf(kind)];
    }

    QPushButton* cmdSavePicture;

  private:
    QWidget* m_pictures;  // the charts: what a saved picture shows
    std::array<QChartView*, corvane::kEstimateCount> m_charts{};
    std::array<QLabel*, corvane::kEstimateCount> m_beyond{};
    ChoosePictureFile m_choose;
};
