# Picture box and sound tests on a real X server and a real sound server.
if(NOT TARGET eggdraw_platform)
    return()
endif()

add_executable(test_picture_box ${CMAKE_CURRENT_LIST_DIR}/test_picture_box.cpp)
target_link_libraries(test_picture_box PRIVATE eggdraw_platform eggdraw_media_fixtures GTest::gtest)
if(TARGET eggdraw_media)
    target_link_libraries(test_picture_box PRIVATE eggdraw_media)
    target_compile_definitions(test_picture_box PRIVATE EGGDRAW_HAVE_ASSETS)
endif()
add_desktop_gtest(test_picture_box TIMEOUT 120)

# sound_probe: play_sound alone, for the recorded sound tests.
add_executable(sound_probe ${CMAKE_CURRENT_LIST_DIR}/sound_probe.cpp)
target_link_libraries(sound_probe PRIVATE eggdraw_platform)
if(TARGET eggdraw_media)
    target_link_libraries(sound_probe PRIVATE eggdraw_media)
    target_compile_definitions(sound_probe PRIVATE EGGDRAW_HAVE_ASSETS)
endif()
add_desktop_test(sound_playback ${CMAKE_CURRENT_LIST_DIR}/test_sound_playback.py TIMEOUT 120)

# bench_media: prints the animation's frame lateness and play_sound's return time
# (xvfb-run -a tests/platform/bench_media); not a test.
add_executable(bench_media ${CMAKE_CURRENT_LIST_DIR}/bench_media.cpp)
target_link_libraries(bench_media PRIVATE eggdraw_platform eggdraw_media_fixtures)
if(TARGET eggdraw_media)
    target_link_libraries(bench_media PRIVATE eggdraw_media)
    target_compile_definitions(bench_media PRIVATE EGGDRAW_HAVE_ASSETS)
endif()
