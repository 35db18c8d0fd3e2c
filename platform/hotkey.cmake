# The X11 hot-key backend. An object library of its own, so that a test probe
# can pair it with a send_feedback of its own instead of the window backend's.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)
add_library(eggdraw_hotkey_xcb OBJECT ${CMAKE_CURRENT_LIST_DIR}/hotkey_xcb.cpp)
target_include_directories(eggdraw_hotkey_xcb PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(eggdraw_hotkey_xcb PUBLIC Qt6::Gui PkgConfig::XCB)

target_sources(eggdraw_platform PRIVATE $<TARGET_OBJECTS:eggdraw_hotkey_xcb>)
target_link_libraries(eggdraw_platform PUBLIC PkgConfig::XCB)
