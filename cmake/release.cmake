# The release: a portable zip and a per-user installer, both made from the programs listed here.
set(MARLOWIN_SHIPPED_PROGRAMS Marlowin mwpack)
# The downloads' names, for the build that packs them and for the suites that test them.
set(MARLOWIN_ZIP_NAME Marlowin-${PROJECT_VERSION}-win32.zip)
set(MARLOWIN_SETUP_NAME Marlowin-${PROJECT_VERSION}-setup.exe)
set(MARLOWIN_NSIS_TARGET x86-unicode)

# Users get 32-bit programs: only the 32-bit build packs them.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(MARLOWIN_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
  set(MARLOWIN_ZIP ${MARLOWIN_DIST_DIR}/${MARLOWIN_ZIP_NAME})
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
    COMMENT "Packing ${MARLOWIN_ZIP_NAME} and ${MARLOWIN_SETUP_NAME}"
    VERBATIM)
  add_custom_target(release ALL DEPENDS ${MARLOWIN_ZIP} ${MARLOWIN_SETUP})
endif()
