# The main window, platform layer, output pane and dialogs, splash and exit.
list(APPEND CORVANE_GUI_SOURCES
)
