# Each folder globs its sources; this keeps those of the other system out.
# *_win32.cpp files are built only for Windows; on Windows the files named after
# POSIX_ONLY (without ".cpp"), and every *_linux.cpp, *_x11.cpp and *_posix.cpp (and their *_test.cpp),
# are left out.
function(velmora_sources_for_this_system var)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "POSIX_ONLY")
  set(sources ${${var}})
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_(linux|x11|posix)(_test)?\\.cpp$")
    foreach(name IN LISTS arg_POSIX_ONLY)
      list(FILTER sources EXCLUDE REGEX "/${name}\\.cpp$")
    endforeach()
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
