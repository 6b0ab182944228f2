# Tests of the main window, platform layer, pane, dialogs, splash and exit.
