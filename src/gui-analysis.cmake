# The analysis windows and the data navigator.
list(APPEND CORVANE_GUI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app/AnalysisWindows.cpp
)
