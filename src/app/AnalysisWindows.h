#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>

class OutputPane;
class frmCorvane;
class frmDescriptives;
class frmNavigate;

// The single instances of the effect-size window, the descriptives window and the navigator,
// owned for the main window: created on first use, shown modally, and discarded after an
// import or when closed from their title bar.
class AnalysisWindows {
  public:
    AnalysisWindows(QWidget* owner, OutputPane* pane);
    ~AnalysisWindows();

    void showCorvane();       // frmCorvane
    void showDescriptives();  // frmDescriptives
    void showNavigate();      // frmNavigate, built afresh at each opening

    // After a successful import: frmCorvane and frmDescriptives are released (the navigator
    // is not kept between openings anyway).
    void discardAnalysisWindows();

    // The current instances, or null; for tests.
    QWidget* corvane() const;
    QWidget* descriptives() const;

    // The instance the next showing uses, created (and built) when there is none.
    frmCorvane* corvaneInstance();
    frmDescriptives* descriptivesInstance();

    // Test seam: the next showing of any of the three windows runs `step` inside its modal
    // loop once the window is up. The step ends the showing by hiding or closing the window.
    static void scriptNextShowing(std::function<void(QWidget&)> step);

  private:
    // Runs the window's modal loop, with the scripted step if one is waiting.
    static void execModal(QDialog& window);

    QWidget* m_owner;
    OutputPane* m_pane;
    QPointer<frmCorvane> m_corvane;
    QPointer<frmDescriptives> m_descriptives;
};
