# cmake -DOUT=FILE -P T6Checksums.cmake FILE...: the files' SHA-256 sums into OUT, one
# "HASH  NAME" line a file as sha256sum writes them, so sha256sum -c checks them beside it.
set(lines "")
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 4 ${last})
  set(file "${CMAKE_ARGV${i}}")
  file(SHA256 "${file}" hash)
  get_filename_component(name "${file}" NAME)
  string(APPEND lines "${hash}  ${name}\n")
endforeach()
file(WRITE "${OUT}" "${lines}")
