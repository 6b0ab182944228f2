# The analysis windows and the data navigator.
list(APPEND CORVANE_GUI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app/AnalysisWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis/frmCorvane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis/frmDescriptives.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis/ui/frmBootstrapDistributions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app/DistributionWindowHolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data/frmNavigate.cpp
)
