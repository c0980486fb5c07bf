# Test suite: GoogleTest cross-built from Debian's sources, every program run under Wine.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Programs and tests sit side by side so that tests find them beside themselves.
set_target_properties(Marlowin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

function(marlowin_test_program name)
  cmake_parse_arguments(ARG "WIN32;RESOURCES;GTEST" "" "SOURCES" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(ARG_RESOURCES)
    list(APPEND sources $<TARGET_OBJECTS:marlowin_resources>)
  endif()
  if(ARG_WIN32)
    add_executable(${name} WIN32 ${sources})
  else()
    add_executable(${name} ${sources})
  endif()
  target_compile_options(${name} PRIVATE ${MARLOWIN_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE marlowin_core)
  if(ARG_GTEST)
    target_link_libraries(${name} PRIVATE gtest gtest_main)
  endif()
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
file(GLOB DIALOG_TEST_SOURCES CONFIGURE_DEPENDS tests/dialogs/*.cpp)
file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
set(SUPPORT_SOURCES tests/support/test_support.cpp tests/support/resident_copy.cpp
                    tests/support/editor_window.cpp)

marlowin_test_program(unit_tests GTEST SOURCES ${UNIT_TEST_SOURCES} ${SUPPORT_SOURCES})
marlowin_test_program(recorder WIN32 SOURCES tests/support/recorder.cpp)
marlowin_test_program(e2e_tests GTEST SOURCES ${E2E_TEST_SOURCES} ${SUPPORT_SOURCES})
add_dependencies(e2e_tests Marlowin recorder)
if(DIALOG_TEST_SOURCES)
  marlowin_test_program(dialog_tests GTEST RESOURCES SOURCES ${DIALOG_TEST_SOURCES} ${SUPPORT_SOURCES})
endif()

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS tests/bench/*.cpp)
foreach(source ${BENCH_SOURCES})
  get_filename_component(bench ${source} NAME_WE)
  marlowin_test_program(${bench} SOURCES ${source} ${SUPPORT_SOURCES})
endforeach()

# Unit tests under a Latin code page, and the code page 1251 cases under a Russian locale.
add_test(NAME unit COMMAND unit_tests --gtest_filter=-*Cp1251*)
set_tests_properties(unit PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8")
add_test(NAME unit_cp1251 COMMAND unit_tests --gtest_filter=*Cp1251*)
set_tests_properties(unit_cp1251 PROPERTIES ENVIRONMENT "LANG=ru_RU.UTF-8")

# End-to-end tests share the prefix's single-instance mapping and the display: one at a time.
add_test(NAME e2e COMMAND e2e_tests --gtest_filter=-*Russian*)
set_tests_properties(e2e PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8" RESOURCE_LOCK wine_desktop TIMEOUT 900)
add_test(NAME e2e_russian COMMAND e2e_tests --gtest_filter=*Russian*)
set_tests_properties(e2e_russian PROPERTIES ENVIRONMENT "LANG=ru_RU.UTF-8" RESOURCE_LOCK wine_desktop TIMEOUT 900)
if(TARGET dialog_tests)
  add_test(NAME dialogs COMMAND dialog_tests --gtest_filter=-*Russian*)
  set_tests_properties(dialogs PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8" RESOURCE_LOCK wine_desktop)
  add_test(NAME dialogs_russian COMMAND dialog_tests --gtest_filter=*Russian*)
  set_tests_properties(dialogs_russian PROPERTIES ENVIRONMENT "LANG=ru_RU.UTF-8" RESOURCE_LOCK wine_desktop)
endif()

# Kills of the editor and a full disk under Wine. The short run is part of the suite;
# scripts/kill-test.sh runs the long one.
file(GLOB STRESS_SOURCES CONFIGURE_DEPENDS tests/stress/*.cpp)
marlowin_test_program(stress_tests GTEST SOURCES ${STRESS_SOURCES} ${SUPPORT_SOURCES})
add_dependencies(stress_tests Marlowin)
add_test(NAME save_faults COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fault-test.sh $<TARGET_FILE:stress_tests>)
set_tests_properties(save_faults PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8" RESOURCE_LOCK wine_desktop TIMEOUT 900)
