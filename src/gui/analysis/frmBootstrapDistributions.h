#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "analysis/render/BootstrapDistributions.h"
#include "gui/platform/RememberedFolder.h"

class ChartTitleWrap;
class QChartView;
class QLabel;
class QPushButton;

// "Bootstrap Distributions": the histograms of the last effect-size run's bootstrap trials, one
// per estimate in the order of kEstimates (Cohen's D above Robust Cohen's D), with the observed
// value and the interval bounds marked and, under each, how many trials lie beyond its axis.
// Shown beside the main window, not modally, and resizable; titles wrap at word boundaries.
// "Save Picture..." writes the histograms for print: PNG at twice the window's pixels (at least
// kPictureMinWidth wide) marked 300 dpi, or SVG; it offers a name made from the variables and
// groups, in the folder pictures were last saved to.
class frmBootstrapDistributions : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPictureMinWidth = 1600;
    static constexpr int kPictureDpi = 300;

    // Asks for the picture's file name (parent, caption, suggested path, filter); empty when the
    // user cancels.
    using ChoosePictureFile =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

    // `choose` none: the desktop's standard file dialog. `lastFolder` keeps the folder pictures
    // were last saved to; until there is one, saves start in the user's pictures folder, else
    // at home.
    explicit frmBootstrapDistributions(QWidget* parent = nullptr, ChoosePictureFile choose = {},
                                       RememberedFolder lastFolder = {});

    // Replaces the pictures with those of a run.
    void showDistributions(const corvane::BootstrapDistributions& run);

    void cmdSavePicture_Click();

    // Writes the histograms to `path`: SVG for a name ending in ".svg", PNG for ".png" (either
    // case). The file is replaced only once the picture is complete. Empty on success, else
    // the message for the user.
    QString savePicture(const QString& path);

    // An estimate's chart ("chtD", "chtRobustD") and the label under it that counts the trials
    // beyond its axis ("lblDBeyond", "lblRobustDBeyond").
    QChartView* chartView(corvane::EstimateKind kind) const {
        return m_charts[corvane::IndexOf(kind)];
    }
    QLabel* beyondLabel(corvane::EstimateKind kind) const {
        return m_beyond[corvane::IndexOf(kind)];
    }
    // An estimate's chart title, whole, however it is wrapped.
    QString title(corvane::EstimateKind kind) const;

    QPushButton* cmdSavePicture;

  private:
    // Where a save starts: the folder last used and a name from the run.
    QString suggestedPath() const;
    // The charts as SVG, and as PNG bytes at print size; empty when a picture cannot be made.
    QByteArray svgPicture() const;
    QByteArray printPng() const;

    QWidget* m_pictures;  // the charts: what a saved picture shows
    std::array<QChartView*, corvane::kEstimateCount> m_charts{};
    std::array<QLabel*, corvane::kEstimateCount> m_beyond{};
    std::array<ChartTitleWrap*, corvane::kEstimateCount> m_titles{};
    ChoosePictureFile m_choose;
    RememberedFolder m_lastFolder;
    std::string m_fileStem;  // of the pictures shown, for the name a save suggests
};
