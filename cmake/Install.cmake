# Installation as a desktop application (cmake --install <build> --prefix <prefix>) and the Debian
# package (cpack -G DEB in a build directory).

include(GNUInstallDirs)

# The desktop entry, the AppStream metainfo and the icons share this identifier.
set(HANLEXO_APP_ID org.example.hanlexo.vocab)
set(HANLEXO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(HANLEXO_ICON_DIR ${PROJECT_SOURCE_DIR}/src/display/icons)

set(HANLEXO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/hanlexo-vocab)

# The release date comes from the latest entry of CHANGELOG.md, which must be this version's.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md releases REGEX "^## " ENCODING UTF-8)
list(GET releases 0 latest)
if(NOT latest MATCHES "^## ([^ ]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)$"
   OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "CHANGELOG.md must begin with \"## ${PROJECT_VERSION} (YYYY-MM-DD)\"")
endif()
set(HANLEXO_RELEASE_DATE ${CMAKE_MATCH_2})

# Files that carry the version and the date, made at configure and build time.
set(generated ${PROJECT_BINARY_DIR}/packaging)
configure_file(${HANLEXO_PACKAGING_DIR}/${HANLEXO_APP_ID}.metainfo.xml.in
               ${generated}/${HANLEXO_APP_ID}.metainfo.xml @ONLY)
set(manual_pages "")
foreach(program hanlexo-vocab hanlexo-lesson)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${program}.1 ${generated}/man/${program}.1 @ONLY)
  add_custom_command(OUTPUT ${generated}/man/${program}.1.gz
                     COMMAND gzip -9 -n -k -f ${generated}/man/${program}.1
                     DEPENDS ${generated}/man/${program}.1
                     COMMENT "Compressing the manual page of ${program}"
                     VERBATIM)
  list(APPEND manual_pages ${generated}/man/${program}.1.gz)
endforeach()
add_custom_command(OUTPUT ${generated}/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -D changelog=${PROJECT_SOURCE_DIR}/CHANGELOG.md
                           -D output=${generated}/changelog.gz -D package=hanlexo-vocab
                           "-D maintainer=Hanlexo <vocab@hanlexo.example.org>"
                           -P ${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake
                   DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                           ${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake
                   COMMENT "Making the Debian changelog from CHANGELOG.md"
                   VERBATIM)
add_custom_target(packaging_files ALL DEPENDS ${manual_pages} ${generated}/changelog.gz)

install(TARGETS hanlexo-vocab hanlexo-lesson RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${generated}/changelog.gz
        DESTINATION ${HANLEXO_DOC_DIR})
install(FILES ${HANLEXO_PACKAGING_DIR}/${HANLEXO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/${HANLEXO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${HANLEXO_ICON_DIR}/hanlexo-vocab-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${HANLEXO_APP_ID}.png)
endforeach()
install(FILES ${HANLEXO_ICON_DIR}/hanlexo-vocab.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${HANLEXO_APP_ID}.svg)
# Sample lessons to copy into a working directory.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/lessons/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/hanlexo-vocab/lessons
        FILES_MATCHING PATTERN "*.txt")

# Checks of the installed files, when the validators are at hand (desktop-file-utils, appstream).
if(HANLEXO_BUILD_TESTS)
  find_program(HANLEXO_DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(HANLEXO_APPSTREAMCLI appstreamcli)
  if(HANLEXO_DESKTOP_FILE_VALIDATE)
    add_test(NAME packaging_desktop_entry
             COMMAND ${HANLEXO_DESKTOP_FILE_VALIDATE}
                     ${HANLEXO_PACKAGING_DIR}/${HANLEXO_APP_ID}.desktop)
  endif()
  # Everything lands where desktops look for it, under a throw-away prefix, and the metainfo is
  # valid there, with its desktop entry and icons.
  set(prefix ${PROJECT_BINARY_DIR}/install-check)
  set(expected
      ${CMAKE_INSTALL_BINDIR}/hanlexo-vocab
      ${CMAKE_INSTALL_BINDIR}/hanlexo-lesson
      ${CMAKE_INSTALL_MANDIR}/man1/hanlexo-vocab.1.gz
      ${CMAKE_INSTALL_MANDIR}/man1/hanlexo-lesson.1.gz
      ${HANLEXO_DOC_DIR}/copyright
      ${HANLEXO_DOC_DIR}/changelog.gz
      ${CMAKE_INSTALL_DATADIR}/applications/${HANLEXO_APP_ID}.desktop
      ${CMAKE_INSTALL_DATADIR}/metainfo/${HANLEXO_APP_ID}.metainfo.xml
      ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps/${HANLEXO_APP_ID}.svg
      "${CMAKE_INSTALL_DATADIR}/hanlexo-vocab/lessons/01 Salutations.txt")
  foreach(size 16 32 48 64 128 256)
    list(APPEND expected
         ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps/${HANLEXO_APP_ID}.png)
  endforeach()
  list(TRANSFORM expected PREPEND ${prefix}/)
  add_test(NAME packaging_install
           COMMAND ${CMAKE_COMMAND} -D prefix=${prefix} -D build=${PROJECT_BINARY_DIR}
                   "-D expected=${expected}" "-D appstreamcli=${HANLEXO_APPSTREAMCLI}"
                   -P ${CMAKE_CURRENT_LIST_DIR}/InstallCheck.cmake)
endif()

# The Debian package: cpack -G DEB.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hanlexo-vocab)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Hanlexo)
set(CPACK_PACKAGE_CONTACT "Hanlexo <vocab@hanlexo.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese vocabulary trainer with a French interface")
# Lines under 80 columns: Debian shows the description as it is written.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Flash cards with a timed reveal of the characters, the pinyin and the French\n"
       "meaning, and six-choice tests, over lesson files of your own, with a French\n"
       "interface. The hanlexo-lesson command makes lesson files from spreadsheet,\n"
       "CSV and flashcard lists, checks them and exports them.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${HANLEXO_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Hanlexo <vocab@hanlexo.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.hanlexo.example.org/)
# The libraries come from dpkg-shlibdeps; the fonts that stand in for the designed ones do not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-liberation")
include(CPack)
