# The release under test: release_tests.exe drives the installer and the zip of the shipped build
# in a fresh prefix.
marlowin_test_program(release_tests GTEST SOURCES tests/release/release_test.cpp)
target_link_libraries(release_tests PRIVATE ole32)
add_dependencies(release_tests recorder)

if(MARLOWIN_SHIPPED_BUILD)
  set(shipped_names)
  set(shipped_files)
  foreach(program ${MARLOWIN_SHIPPED_PROGRAMS})
    list(APPEND shipped_names $<TARGET_FILE_NAME:${program}>)
    list(APPEND shipped_files ${MARLOWIN_SHIPPED_BUILD}/bin/$<TARGET_FILE_NAME:${program}>)
  endforeach()
  list(JOIN shipped_names "," shipped_names)
  add_test(NAME release COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/test-release.sh ${CMAKE_BINARY_DIR}
                                ${MARLOWIN_SHIPPED_BUILD}/dist/${MARLOWIN_ZIP_NAME}
                                ${MARLOWIN_SHIPPED_BUILD}/dist/${MARLOWIN_SETUP_NAME} ${PROJECT_VERSION} "${shipped_names}")
  set_tests_properties(release PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8" TIMEOUT 900 COST 95)

  # The shipped programs import only what their oldest Windows has, and every manifest names its
  # program's own architecture; the second entry shows that both checks can fail.
  add_test(NAME binaries COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-binaries.sh ${MARLOWIN_SHIPPED_BUILD}/bin/Marlowin.exe
                                 ${MARLOWIN_SHIPPED_BUILD}/bin/mwpack.exe ${MARLOWIN_SHIPPED_BUILD}/dist/${MARLOWIN_SETUP_NAME}
                                 $<TARGET_FILE:Marlowin>)
  add_test(NAME binaries_rule COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-binaries.sh --self-test
                                      ${MARLOWIN_SHIPPED_BUILD}/bin/Marlowin.exe)

  # Packing, not Wine: the same programs must give the same downloads.
  add_test(NAME release_reproducible COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-release-reproducible.sh
                                             ${PROJECT_VERSION} ${MARLOWIN_SHIPPED_BUILD}/Example.mwpack ${shipped_files})
endif()
