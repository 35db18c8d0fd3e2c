# The picture box and the sound output.
find_package(Threads REQUIRED)
pkg_check_modules(EGGDRAW_PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
target_sources(eggdraw_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/picture_box_qt.h
    ${CMAKE_CURRENT_LIST_DIR}/picture_box_qt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sound_pulse.cpp)
target_link_libraries(eggdraw_platform PUBLIC PkgConfig::EGGDRAW_PULSE_SIMPLE Threads::Threads)
