# The analysis windows and the data navigator.
list(APPEND CORVANE_GUI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app/AnalysisWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis/ui/AnalysisDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis/ui/frmCorvane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis/ui/frmDescriptives.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data/ui/frmNavigate.cpp
)
