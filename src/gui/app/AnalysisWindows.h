#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "gui/app/DistributionWindowHolder.h"
#include "gui/platform/SingleInstance.h"

class OutputPane;
class frmCorvane;
class frmDataTable;
class frmDescriptives;
class frmNavigate;

// The single instances of the effect-size window, the descriptives window and the navigator,
// owned for the main window: created on first use, shown modally, and discarded after an
// import or when closed from their title bar. The data table beside them is shown without
// blocking the main window and follows the current data set.
class AnalysisWindows {
  public:
    // `pictureFolder`: where the distributions window's pictures were last saved.
    AnalysisWindows(QWidget* owner, OutputPane* pane, RememberedFolder pictureFolder = {});
    ~AnalysisWindows();

    void showCorvane();       // frmCorvane
    void showDescriptives();  // frmDescriptives
    void showNavigate();      // frmNavigate, built afresh at each opening
    // frmDataTable over the current data set, made at the first showing and raised at the next.
    void showDataTable();
    // The data table, while open, shows the current data set.
    void followDataSet();

    // After a successful import: frmCorvane and frmDescriptives are released (the navigator
    // is not kept between openings anyway).
    void discardAnalysisWindows();

    // The last effect-size run's bootstrap distributions and their window, dropped with the
    // analysis windows.
    DistributionWindowHolder& distributions() { return m_distributions; }

    // The last effect-size run as one sentence for a manuscript, empty when there is none;
    // dropped with the analysis windows. The listener hears whether there is one, each time
    // that changes and once when set.
    const std::string& paperSentence() const { return m_paperSentence; }
    void setPaperSentenceListener(std::function<void(bool)> listener);

    // The current instances, or null; for tests.
    QWidget* corvane() const;
    QWidget* descriptives() const;
    frmDataTable* dataTable() const;

    // The instance the next showing uses, created (and built) when there is none.
    frmCorvane* corvaneInstance();
    frmDescriptives* descriptivesInstance();

  private:
    // A new effect-size window, whose runs the distributions window pictures.
    frmCorvane* newCorvane();

    QWidget* m_owner;
    OutputPane* m_pane;
    SingleInstance<frmCorvane> m_corvane;
    SingleInstance<frmDescriptives> m_descriptives;
    DistributionWindowHolder m_distributions;
    QPointer<frmDataTable> m_dataTable;  // deleted once closed
    std::string m_paperSentence;
    std::function<void(bool)> m_paperSentenceListener;
};
