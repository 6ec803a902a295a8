# cmake -D prefix=<dir> -D build=<build dir> -D expected=<files> [-D appstreamcli=<program>]
#       -P InstallCheck.cmake
# Installs the build under a fresh prefix and fails unless every expected file is there and, with
# appstreamcli, the installed metainfo, desktop entry and icons agree.
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${build} --prefix ${prefix}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
if(appstreamcli)
  execute_process(COMMAND ${appstreamcli} validate-tree --no-net ${prefix}
                  RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate-tree failed:\n${report}")
  endif()
endif()
list(LENGTH expected count)
message(STATUS "${count} files installed under ${prefix}")
file(REMOVE_RECURSE ${prefix})
