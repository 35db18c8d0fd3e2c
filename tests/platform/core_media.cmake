# Toolkit-free media tests; they also run in the sanitizer build.
find_package(ZLIB REQUIRED)
add_library(eggdraw_media_fixtures STATIC ${CMAKE_CURRENT_LIST_DIR}/media_fixtures.cpp)
target_link_libraries(eggdraw_media_fixtures PUBLIC eggdraw_platform_core)

add_executable(test_media_core ${CMAKE_CURRENT_LIST_DIR}/test_media_core.cpp)
target_link_libraries(test_media_core PRIVATE eggdraw_media_fixtures ZLIB::ZLIB GTest::gtest_main)
gtest_discover_tests(test_media_core PROPERTIES LABELS core)
