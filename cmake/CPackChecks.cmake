# Read by cpack for each generator it runs. Without dpkg-shlibdeps (and the file utility it is
# driven through), cpack would still make a Debian package, depending on the fonts alone: installed
# on a system without Qt, its programs would not start. So it stops here instead.
cmake_policy(VERSION 3.25)
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(hanlexo_dpkg_shlibdeps dpkg-shlibdeps)
  find_program(hanlexo_file file)
  if(NOT hanlexo_dpkg_shlibdeps OR NOT hanlexo_file)
    message(FATAL_ERROR
            "hanlexo: the Debian package takes its library dependencies from dpkg-shlibdeps, run "
            "through the file utility; install them first (apt-get install dpkg-dev file), or make "
            "the package with scripts/package.sh, which does")
  endif()
endif()
