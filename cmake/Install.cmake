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
# A stripped install (cmake --install --strip, and the package) drops the compilers' version notes
# too, as Debian's packages do: strip alone keeps them.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program hanlexo-vocab hanlexo-lesson)
      set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${file}\"
                      RESULT_VARIABLE result)
      if(NOT result EQUAL 0)
        message(FATAL_ERROR \"cannot remove the .comment section of \${file}\")
      endif()
    endforeach()
  endif()")
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-liberation, fonts-croscore")
# Read by cpack itself: refuses to make a package without dpkg-shlibdeps, whose programs could not
# start on a system without Qt.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackChecks.cmake)
include(CPack)
