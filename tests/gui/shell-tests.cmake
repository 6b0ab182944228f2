# Tests of the main window, platform layer, pane, dialogs, splash and exit.
corvane_add_gui_test(test_main_window ${CMAKE_CURRENT_LIST_DIR}/test_main_window.cpp)
corvane_add_gui_test(test_exit ${CMAKE_CURRENT_LIST_DIR}/test_exit.cpp)
corvane_add_gui_test(test_splash ${CMAKE_CURRENT_LIST_DIR}/test_splash.cpp)
corvane_add_gui_test(test_platform ${CMAKE_CURRENT_LIST_DIR}/test_platform.cpp)
corvane_add_gui_test(test_output_pane ${CMAKE_CURRENT_LIST_DIR}/test_output_pane.cpp)
corvane_add_gui_test(test_output_dialogs ${CMAKE_CURRENT_LIST_DIR}/test_output_dialogs.cpp)
corvane_add_gui_test(test_nothing_lost ${CMAKE_CURRENT_LIST_DIR}/test_nothing_lost.cpp)
# Not a test: pictures every window for scripts/screenshots.sh.
add_executable(corvane_screenshots ${CMAKE_CURRENT_LIST_DIR}/screenshot_windows.cpp)
target_link_libraries(corvane_screenshots PRIVATE corvane_gui)
