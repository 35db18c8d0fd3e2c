# The desktop's URL opener.
target_sources(eggdraw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/shell_xdg.cpp)
