# The release: a portable zip and a per-user installer, both made from the programs listed here.
set(MARLOWIN_SHIPPED_PROGRAMS Marlowin mwpack)

set(MARLOWIN_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(MARLOWIN_ZIP ${MARLOWIN_DIST_DIR}/Marlowin-${PROJECT_VERSION}-win32.zip)
set(MARLOWIN_SETUP ${MARLOWIN_DIST_DIR}/Marlowin-${PROJECT_VERSION}-setup.exe)

set(MARLOWIN_SHIPPED_FILES)
foreach(program ${MARLOWIN_SHIPPED_PROGRAMS})
  list(APPEND MARLOWIN_SHIPPED_FILES $<TARGET_FILE:${program}>)
endforeach()

add_custom_command(
  OUTPUT ${MARLOWIN_ZIP} ${MARLOWIN_SETUP}
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/package-release.sh ${PROJECT_VERSION} ${MARLOWIN_DIST_DIR}
          ${MARLOWIN_SHIPPED_FILES}
  DEPENDS ${MARLOWIN_SHIPPED_PROGRAMS} ${CMAKE_SOURCE_DIR}/scripts/package-release.sh
          ${CMAKE_SOURCE_DIR}/scripts/make-package.py ${CMAKE_SOURCE_DIR}/release/marlowin.nsi
          ${CMAKE_SOURCE_DIR}/release/ReadMe.txt ${CMAKE_SOURCE_DIR}/res/art/mw.ico
  COMMENT "Packing Marlowin-${PROJECT_VERSION}-win32.zip and Marlowin-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
add_custom_target(release DEPENDS ${MARLOWIN_ZIP} ${MARLOWIN_SETUP})
