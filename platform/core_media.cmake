# Toolkit-free media: the PNG and GIF decoders and the WAV checks.
pkg_check_modules(EGGDRAW_PNG REQUIRED IMPORTED_TARGET libpng)
find_package(GIF REQUIRED)
target_sources(eggdraw_platform_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/png_decode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gif_decoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wav.cpp)
target_link_libraries(eggdraw_platform_core PUBLIC PkgConfig::EGGDRAW_PNG GIF::GIF)
