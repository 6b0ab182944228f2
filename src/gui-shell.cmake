# The main window, platform layer, output pane and dialogs, splash and exit.
list(APPEND CORVANE_GUI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app/frmMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app/frmSplash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/MessageService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/Twips.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/FixedLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/BusyPointer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/FileSystemLists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/Clipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/FieldColours.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output/ui/OutputPane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/SingleInstanceDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output/ui/frmSaveOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output/ui/frmOpenOutput.cpp
)
