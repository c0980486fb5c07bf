# The release under test: release_tests.exe drives the installer and the zip in a fresh prefix.
marlowin_test_program(release_tests GTEST SOURCES tests/release/release_test.cpp)
target_link_libraries(release_tests PRIVATE ole32)
add_dependencies(release_tests release recorder)

set(shipped_names)
foreach(program ${MARLOWIN_SHIPPED_PROGRAMS})
  list(APPEND shipped_names $<TARGET_FILE_NAME:${program}>)
endforeach()
list(JOIN shipped_names "," shipped_names)
add_test(NAME release COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/test-release.sh ${CMAKE_BINARY_DIR}
                              ${MARLOWIN_ZIP} ${MARLOWIN_SETUP} ${PROJECT_VERSION} "${shipped_names}")
set_tests_properties(release PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8" TIMEOUT 900)

# Packing, not Wine: the same programs must give the same downloads.
add_test(NAME release_reproducible COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-release-reproducible.sh
                                           ${PROJECT_VERSION} ${MARLOWIN_NSIS_TARGET} ${MARLOWIN_SHIPPED_FILES})
