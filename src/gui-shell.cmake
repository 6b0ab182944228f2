# The main window, platform layer, output pane and dialogs, splash and exit.
list(APPEND CORVANE_GUI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app/frmMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app/frmSplash.cpp
)
