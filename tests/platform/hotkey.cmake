if(NOT TARGET eggdraw_hotkey_xcb)
    return()
endif()

# hotkey_probe: the hot-key backend alone in a tiny Qt program that prints one
# line per registration and per notification, for the desktop tests to read.
add_executable(hotkey_probe ${CMAKE_CURRENT_LIST_DIR}/hotkey_probe.cpp
                            $<TARGET_OBJECTS:eggdraw_hotkey_xcb>)
target_link_libraries(hotkey_probe PRIVATE eggdraw_hotkey_xcb Qt6::Gui)

# key_grabber: another X client that holds one key combination, as a rival
# program would.
add_executable(key_grabber ${CMAKE_CURRENT_LIST_DIR}/key_grabber.cpp)
target_link_libraries(key_grabber PRIVATE PkgConfig::XCB)

add_desktop_test(hotkey_backend ${CMAKE_CURRENT_LIST_DIR}/test_hotkey_backend.py TIMEOUT 120)
