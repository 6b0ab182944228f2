#pragma once

#include <QPointer>
#include <QWidget>

class OutputPane;

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
    QWidget* corvane() const { return m_corvane; }
    QWidget* descriptives() const { return m_descriptives; }

private:
    QWidget* m_owner;
    OutputPane* m_pane;
    QPointer<QWidget> m_corvane;
    QPointer<QWidget> m_descriptives;
};
