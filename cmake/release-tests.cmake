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
  # The zip is unpacked afresh into a folder whose name has blanks; Wine sees the file system as Z:.
  set(unzipped "${CMAKE_BINARY_DIR}/release-test/Un packed zip")
  add_test(NAME release_unzip COMMAND sh -c "rm -rf \"$1\" && mkdir -p \"$1\" && unzip -q \"$2\" -d \"$1\""
                                      unzip ${unzipped} ${MARLOWIN_SHIPPED_BUILD}/dist/${MARLOWIN_ZIP_NAME})
  set_tests_properties(release_unzip PROPERTIES FIXTURES_SETUP release_zip)
  string(REPLACE "/" "\\" setup "Z:${MARLOWIN_SHIPPED_BUILD}/dist/${MARLOWIN_SETUP_NAME}")
  string(REPLACE "/" "\\" unzipped "Z:${unzipped}")
  marlowin_suite(release release_tests en_US.UTF-8)
  set_tests_properties(release PROPERTIES FIXTURES_REQUIRED release_zip TIMEOUT 900 COST 95 ENVIRONMENT
                       "LANG=en_US.UTF-8;MW_RELEASE_SETUP=${setup};MW_RELEASE_UNZIPPED=${unzipped};MW_RELEASE_VERSION=${PROJECT_VERSION};MW_RELEASE_PROGRAMS=${shipped_names}")

  # The shipped programs import only what their oldest Windows has, every manifest names its
  # program's own architecture, and Marlowin.exe's, of both builds, its assembly version 1.0.0.0;
  # the second entry shows that each check can fail.
  add_test(NAME binaries COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-binaries.sh ${MARLOWIN_SHIPPED_BUILD}/bin/Marlowin.exe
                                 ${MARLOWIN_SHIPPED_BUILD}/bin/mwpack.exe ${MARLOWIN_SHIPPED_BUILD}/dist/${MARLOWIN_SETUP_NAME}
                                 $<TARGET_FILE:Marlowin>)
  add_test(NAME binaries_rule COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-binaries.sh --self-test
                                      ${MARLOWIN_SHIPPED_BUILD}/bin/Marlowin.exe)

  # Packing, not Wine: the same programs must give the same downloads.
  add_test(NAME release_reproducible COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-release-reproducible.sh
                                             ${PROJECT_VERSION} ${MARLOWIN_SHIPPED_BUILD}/Example.mwpack ${shipped_files})
endif()
