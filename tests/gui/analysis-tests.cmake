# Tests of the analysis windows and the navigator.
corvane_add_gui_test(test_corvane_window ${CMAKE_CURRENT_LIST_DIR}/test_corvane_window.cpp)
corvane_add_gui_test(test_descriptives_window
                     ${CMAKE_CURRENT_LIST_DIR}/test_descriptives_window.cpp)
corvane_add_gui_test(test_navigate ${CMAKE_CURRENT_LIST_DIR}/test_navigate.cpp)
# Not a test: pictures the three windows with data loaded and their reports in the pane.
add_executable(corvane_analysis_screenshots
               ${CMAKE_CURRENT_LIST_DIR}/screenshot_analysis_windows.cpp)
target_link_libraries(corvane_analysis_screenshots PRIVATE corvane_gui)
corvane_add_gui_test(test_distribution_window
                     ${CMAKE_CURRENT_LIST_DIR}/test_distribution_window.cpp)
# Not a test: the bootstrap distributions window after a run on the example file.
add_executable(corvane_distribution_screenshot
               ${CMAKE_CURRENT_LIST_DIR}/screenshot_distribution_window.cpp)
target_link_libraries(corvane_distribution_screenshot PRIVATE corvane_gui)
target_compile_definitions(corvane_distribution_screenshot
                           PRIVATE CORVANE_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
