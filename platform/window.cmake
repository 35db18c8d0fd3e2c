# Windows and controls from forms, on Qt over X11.
pkg_check_modules(EGGDRAW_XCB REQUIRED IMPORTED_TARGET xcb)
target_sources(eggdraw_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window_qt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgets_qt.h
    ${CMAKE_CURRENT_LIST_DIR}/widgets_qt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_codec_qt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_xcb.cpp)
target_link_libraries(eggdraw_platform PUBLIC PkgConfig::EGGDRAW_XCB)

# Until the picture box and the sound backend exist, plain stand-ins keep the
# board buildable. They go once the real files are in.
file(GLOB _picture_box_backends ${CMAKE_CURRENT_LIST_DIR}/picture_box_*.cpp)
if(NOT _picture_box_backends)
    target_sources(eggdraw_platform PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/picture_box_qt.h
        ${CMAKE_CURRENT_LIST_DIR}/standin_picture_box.cpp)
endif()
file(GLOB _sound_backends ${CMAKE_CURRENT_LIST_DIR}/sound_*.cpp)
if(NOT _sound_backends)
    target_sources(eggdraw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/standin_sound.cpp)
endif()
# The program icon comes from the media blocks.
if(EXISTS ${CMAKE_SOURCE_DIR}/media/CMakeLists.txt)
    target_link_libraries(eggdraw_platform PUBLIC eggdraw_media)
else()
    target_sources(eggdraw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/standin_assets.cpp)
endif()
