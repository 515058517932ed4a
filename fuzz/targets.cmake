# libFuzzer targets for the readers of untrusted bytes: tune files, layout files,
# settings.dat and metadata records. Built only by scripts/fuzz.sh, with clang.
set(fuzz_dir ${CMAKE_SOURCE_DIR}/fuzz)
foreach(target tune_file_fuzz layout_settings_fuzz info_text_fuzz make_seeds)
  add_executable(${target} ${fuzz_dir}/${target}.cpp)
  target_link_libraries(${target} PRIVATE t6_app_files t6_tune)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz_targets)
  if(target STREQUAL make_seeds)
    # Writes the seed corpora: an ordinary program.
    target_link_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  else()
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  endif()
endforeach()
