# The Qt Widgets program over the core.
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts Svg)
set(CMAKE_AUTOMOC ON)

set(CORVANE_GUI_SOURCES)
include(${CMAKE_CURRENT_LIST_DIR}/gui-shell.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/gui-analysis.cmake)

add_library(corvane_gui STATIC ${CORVANE_GUI_SOURCES})
target_include_directories(corvane_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(corvane_gui PUBLIC corvane_core Qt6::Widgets Qt6::Charts Qt6::Svg)
set_target_properties(corvane_gui PROPERTIES AUTOMOC ON)

add_executable(corvane app/main.cpp)
target_link_libraries(corvane PRIVATE corvane_gui)
