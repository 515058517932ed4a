# The version as code sees it: t6_version.h, made from the project's version, for the C++
# sources and the resource scripts of every target that links t6_version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/t6_version.h.in ${CMAKE_BINARY_DIR}/generated/t6_version.h @ONLY)
add_library(t6_version INTERFACE)
target_include_directories(t6_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
