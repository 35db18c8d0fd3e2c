# Windows and controls from forms, on Qt over X11.
pkg_check_modules(EGGDRAW_XCB REQUIRED IMPORTED_TARGET xcb)
target_sources(eggdraw_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window_qt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_qt.h
    ${CMAKE_CURRENT_LIST_DIR}/widgets_qt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_codec_qt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_xcb.cpp)
target_link_libraries(eggdraw_platform PUBLIC PkgConfig::EGGDRAW_XCB)

# The program icon comes from the media blocks.
target_link_libraries(eggdraw_platform PUBLIC eggdraw_media)
