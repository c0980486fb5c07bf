# The release: a portable zip and a per-user installer, both made from the programs listed here.
set(MARLOWIN_SHIPPED_PROGRAMS Marlowin mwpack)

# The downloads for users are 32-bit; a 64-bit build (for machines whose Wine runs only 64-bit
# programs) packs its own programs into a 64-bit installer, named so that neither passes for the other.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MARLOWIN_PLATFORM win64)
  set(MARLOWIN_NSIS_TARGET amd64-unicode)
  set(MARLOWIN_SETUP_NAME Marlowin-${PROJECT_VERSION}-win64-setup.exe)
else()
  set(MARLOWIN_PLATFORM win32)
  set(MARLOWIN_NSIS_TARGET x86-unicode)
  set(MARLOWIN_SETUP_NAME Marlowin-${PROJECT_VERSION}-setup.exe)
endif()
set(MARLOWIN_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(MARLOWIN_ZIP ${MARLOWIN_DIST_DIR}/Marlowin-${PROJECT_VERSION}-${MARLOWIN_PLATFORM}.zip)
set(MARLOWIN_SETUP ${MARLOWIN_DIST_DIR}/${MARLOWIN_SETUP_NAME})

set(MARLOWIN_SHIPPED_FILES)
foreach(program ${MARLOWIN_SHIPPED_PROGRAMS})
  list(APPEND MARLOWIN_SHIPPED_FILES $<TARGET_FILE:${program}>)
endforeach()

add_custom_command(
  OUTPUT ${MARLOWIN_ZIP} ${MARLOWIN_SETUP}
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/package-release.sh ${PROJECT_VERSION} ${MARLOWIN_NSIS_TARGET}
          ${MARLOWIN_ZIP} ${MARLOWIN_SETUP} ${MARLOWIN_SHIPPED_FILES}
  DEPENDS ${MARLOWIN_SHIPPED_PROGRAMS} ${CMAKE_SOURCE_DIR}/scripts/package-release.sh
          ${CMAKE_SOURCE_DIR}/scripts/make-package.py ${CMAKE_SOURCE_DIR}/release/marlowin.nsi
          ${CMAKE_SOURCE_DIR}/release/ReadMe.txt ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/res/art/mw.ico
  COMMENT "Packing Marlowin-${PROJECT_VERSION}-${MARLOWIN_PLATFORM}.zip and ${MARLOWIN_SETUP_NAME}"
  VERBATIM)
add_custom_target(release DEPENDS ${MARLOWIN_ZIP} ${MARLOWIN_SETUP})
