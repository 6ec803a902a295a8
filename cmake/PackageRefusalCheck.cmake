# cmake -D unshare=<unshare> -D cpack=<cpack> -D config=<CPackConfig.cmake> -D work=<dir>
#       -D hide=<program> -P PackageRefusalCheck.cmake
# Runs cpack -G DEB in a mount namespace of its own where the given program (dpkg-shlibdeps or
# file) is hidden, as on a machine without it, and fails unless cpack refuses, names what to
# install and makes no package.
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${unshare} --mount --map-root-user
                        sh -c "mount --bind /dev/null \"$1\" && exec \"$2\" -G DEB --config \"$3\" -B \"$4\""
                        sh ${hide} ${cpack} ${config} ${work}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB_RECURSE packages ${work}/*.deb)
file(REMOVE_RECURSE ${work})
if(output MATCHES "mount: ")
  message(FATAL_ERROR "cannot hide ${hide}:\n${output}")
endif()
if(result EQUAL 0 OR packages)
  message(FATAL_ERROR "cpack made a package without ${hide}:\n${output}")
endif()
if(NOT output MATCHES "apt-get[ \n]+install[ \n]+dpkg-dev[ \n]+file")
  message(FATAL_ERROR "cpack failed without naming what to install:\n${output}")
endif()
message(STATUS "cpack refused without ${hide}")
