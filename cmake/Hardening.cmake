# Debian's hardening flags, as `DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags` gives them
# on Debian 12 (stack protector, fortified C library calls, format checks, relocations resolved and
# made read-only before main; Debian's compilers make position-independent executables already),
# in the optimised builds: the package and every Release build carry them without dpkg-dev. Not in
# Debug, where fortification needs the optimiser, nor with the sanitizers or the fuzzers, which
# instrument the same calls their own way.
option(HANLEXO_HARDENING "Build the optimised configurations with Debian's hardening flags" ON)

set(HANLEXO_HARDENED_CONFIGS Release RelWithDebInfo MinSizeRel)
set(HANLEXO_HARDENED OFF)
if(HANLEXO_HARDENING AND NOT HANLEXO_SANITIZE AND NOT HANLEXO_FUZZ)
  list(JOIN HANLEXO_HARDENED_CONFIGS "," hanlexo_configs)
  set(hanlexo_optimised "$<CONFIG:${hanlexo_configs}>")
  add_compile_options(
    "$<${hanlexo_optimised}:-fstack-protector-strong;-Wformat;-Werror=format-security;-Wdate-time>")
  add_compile_definitions("$<${hanlexo_optimised}:_FORTIFY_SOURCE=2>")
  add_link_options("$<${hanlexo_optimised}:-Wl,-z,relro;-Wl,-z,now>")
  if(CMAKE_BUILD_TYPE IN_LIST HANLEXO_HARDENED_CONFIGS)
    set(HANLEXO_HARDENED ON)
  endif()
endif()
