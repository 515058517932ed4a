# Included by project() when scripts/fuzz.sh configures the whole tree with
# -DCMAKE_PROJECT_INCLUDE=fuzz/hook.cmake: once every folder has defined its libraries, the
# fuzz targets join, built from the same library definitions as the program. (Arguments of
# a deferred call are expanded when it runs, hence the variable.)
set(T6_FUZZ_TARGETS ${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include ${T6_FUZZ_TARGETS})
