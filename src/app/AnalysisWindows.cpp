// Placeholder body so the main window links while the analysis windows are being written;
// the analysis-windows work replaces this file.
#include "app/AnalysisWindows.h"

AnalysisWindows::AnalysisWindows(QWidget* owner, OutputPane* pane) : m_owner(owner), m_pane(pane) {}
AnalysisWindows::~AnalysisWindows() = default;
void AnalysisWindows::showCorvane() {}
void AnalysisWindows::showDescriptives() {}
void AnalysisWindows::showNavigate() {}
void AnalysisWindows::discardAnalysisWindows() {
    delete m_corvane;
    delete m_descriptives;
}
