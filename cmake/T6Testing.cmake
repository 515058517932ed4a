# GoogleTest and the registration of test programs.
#
# Native builds use Debian's libgtest-dev. The cross build compiles GoogleTest from its
# source in /usr/src/googletest. Windows test programs run under Wine in a prefix that
# lives in the build tree and is created once, by the wine_prefix fixture, before any of them.
if(NOT T6_BUILD_TESTS)
  return()
endif()

enable_testing()

if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources are not ours to keep warning-free.
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()

  set(T6_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
  set(T6_WINE_ENV
    "WINEPREFIX=${T6_WINEPREFIX}"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml=")
  # Added once every test program is known: they are the programs whose windows the prefix
  # leaves unmanaged (see scripts/wine-prefix.sh).
  function(t6_add_wine_prefix_test)
    get_property(programs GLOBAL PROPERTY T6_WINE_TEST_PROGRAMS)
    add_test(NAME wine_prefix COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh ${T6_WINEPREFIX} ${programs})
    set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL t6_add_wine_prefix_test)
else()
  find_package(GTest REQUIRED)
endif()

# t6_add_test(NAME target [ENVIRONMENT ...]): one ctest entry per test program, because
# every Wine start costs seconds.
function(t6_add_test target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "ENVIRONMENT;COMMAND" ${ARGN})
  if(ARG_COMMAND)
    add_test(NAME ${target} COMMAND ${ARG_COMMAND})
  else()
    add_test(NAME ${target} COMMAND ${target})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(env ${ARG_ENVIRONMENT})
  if(WIN32)
    list(APPEND env ${T6_WINE_ENV})
    set_property(GLOBAL APPEND PROPERTY T6_WINE_TEST_PROGRAMS ${target}.exe)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  else()
    list(APPEND env "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  set_tests_properties(${target} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}")
endfunction()
