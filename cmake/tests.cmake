# Test suite: GoogleTest cross-built from Debian's sources, every program run under Wine.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Test code builds without optimisation, which halves its compile time; the product code keeps its own.
set(MARLOWIN_TEST_OPTIMISATION -O0)
target_compile_options(gtest PRIVATE ${MARLOWIN_TEST_OPTIMISATION})
target_compile_options(gtest_main PRIVATE ${MARLOWIN_TEST_OPTIMISATION})

# Programs and tests sit side by side so that tests find them beside themselves.
set_target_properties(Marlowin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Helpers shared by the test and benchmark programs, compiled once.
add_library(marlowin_test_support STATIC tests/support/test_support.cpp tests/support/resident_copy.cpp
                                         tests/support/editor_window.cpp tests/support/mwpack_run.cpp)
target_compile_options(marlowin_test_support PRIVATE ${MARLOWIN_WARNINGS} ${MARLOWIN_TEST_OPTIMISATION})
target_include_directories(marlowin_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(marlowin_test_support PUBLIC marlowin_core)

function(marlowin_test_program name)
  cmake_parse_arguments(ARG "WIN32;RESOURCES;GTEST;BENCH" "" "SOURCES" ${ARGN})
  # The product's own allocator, so that the tests run what ships.
  set(sources ${ARG_SOURCES} $<TARGET_OBJECTS:marlowin_heap>)
  if(ARG_RESOURCES)
    list(APPEND sources $<TARGET_OBJECTS:marlowin_resources>)
  endif()
  set(kind "")
  if(ARG_WIN32)
    set(kind WIN32)
  endif()
  if(NOT MARLOWIN_SHIPPED_BUILD)
    # The 32-bit build runs no test: it compiles each test program's sources, warnings as errors,
    # and links none of them (nor GoogleTest itself).
    add_library(${name} OBJECT ${ARG_SOURCES})
    if(ARG_BENCH)
      set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
  elseif(ARG_BENCH)
    # Benchmarks are built by the benchmark command, not by the test command.
    add_executable(${name} ${kind} EXCLUDE_FROM_ALL ${sources})
    add_dependencies(benchmarks ${name})
  else()
    add_executable(${name} ${kind} ${sources})
  endif()
  target_compile_options(${name} PRIVATE ${MARLOWIN_WARNINGS})
  if(NOT ARG_BENCH)
    target_compile_options(${name} PRIVATE ${MARLOWIN_TEST_OPTIMISATION})
  endif()
  target_link_libraries(${name} PRIVATE marlowin_test_support)
  if(ARG_GTEST AND NOT MARLOWIN_SHIPPED_BUILD)
    target_include_directories(${name} SYSTEM PRIVATE ${GTEST_SOURCE_DIR}/googletest/include)
  elseif(ARG_GTEST)
    target_link_libraries(${name} PRIVATE gtest gtest_main)
  endif()
  target_link_options(${name} PRIVATE -static)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# One program per suite, each from its own sources.
file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
file(GLOB UNIT_CP1251_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/cp1251/*.cpp)
set(DIALOG_HARNESS tests/dialogs/tray_fixture.cpp tests/dialogs/editor_harness.cpp)
set(DIALOGS_TRAY_TEST_SOURCES tests/dialogs/start_window_test.cpp tests/dialogs/tray_click_test.cpp
                              tests/dialogs/dispatch_test.cpp tests/dialogs/about_box_test.cpp
                              tests/dialogs/package_menu_test.cpp tests/dialogs/splash_resources_test.cpp)
set(DIALOGS_RUSSIAN_TEST_SOURCES tests/dialogs/russian_test.cpp)
file(GLOB DIALOGS_EDITOR_TEST_SOURCES CONFIGURE_DEPENDS tests/dialogs/*_test.cpp)
list(TRANSFORM DIALOGS_TRAY_TEST_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
list(TRANSFORM DIALOGS_RUSSIAN_TEST_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
list(REMOVE_ITEM DIALOGS_EDITOR_TEST_SOURCES ${DIALOGS_TRAY_TEST_SOURCES} ${DIALOGS_RUSSIAN_TEST_SOURCES})
set(E2E_RESIDENT_TEST_SOURCES ${CMAKE_SOURCE_DIR}/tests/e2e/resident_test.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/tray_menu_test.cpp)
set(E2E_MWPACK_TEST_SOURCES ${CMAKE_SOURCE_DIR}/tests/e2e/mwpack_test.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/capture_test.cpp
                            ${CMAKE_SOURCE_DIR}/tests/e2e/package_programs_test.cpp)
file(GLOB E2E_PACKAGES_TEST_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
list(REMOVE_ITEM E2E_PACKAGES_TEST_SOURCES ${E2E_RESIDENT_TEST_SOURCES} ${E2E_MWPACK_TEST_SOURCES})

marlowin_test_program(unit_tests GTEST SOURCES ${UNIT_TEST_SOURCES})
marlowin_test_program(unit_cp1251_tests GTEST SOURCES ${UNIT_CP1251_TEST_SOURCES} tests/unit/text_form_round_trip.cpp)
marlowin_test_program(recorder WIN32 SOURCES tests/support/recorder.cpp)
marlowin_test_program(e2e_resident_tests GTEST SOURCES ${E2E_RESIDENT_TEST_SOURCES})
marlowin_test_program(e2e_packages_tests GTEST SOURCES ${E2E_PACKAGES_TEST_SOURCES})
marlowin_test_program(e2e_mwpack_tests GTEST SOURCES ${E2E_MWPACK_TEST_SOURCES})
marlowin_test_program(dialogs_tray_tests GTEST RESOURCES SOURCES ${DIALOGS_TRAY_TEST_SOURCES} ${DIALOG_HARNESS})
marlowin_test_program(dialogs_editor_tests GTEST RESOURCES SOURCES ${DIALOGS_EDITOR_TEST_SOURCES} ${DIALOG_HARNESS})
marlowin_test_program(dialogs_russian_tests GTEST RESOURCES SOURCES ${DIALOGS_RUSSIAN_TEST_SOURCES} ${DIALOG_HARNESS})
foreach(program e2e_resident_tests e2e_packages_tests e2e_mwpack_tests dialogs_tray_tests dialogs_editor_tests
                dialogs_russian_tests)
  add_dependencies(${program} Marlowin recorder)
endforeach()
# The About box shows the version text generated from the project version (the shared fixtures check it).
foreach(program dialogs_tray_tests dialogs_editor_tests dialogs_russian_tests)
  target_include_directories(${program} PRIVATE ${CMAKE_BINARY_DIR}/generated)
endforeach()

add_custom_target(benchmarks)
add_dependencies(benchmarks Marlowin recorder)
# What the benchmarks report besides their times, compiled once for all of them.
set(BENCH_FIGURES ${CMAKE_SOURCE_DIR}/tests/bench/bench_figures.cpp)
add_library(marlowin_bench_figures STATIC EXCLUDE_FROM_ALL ${BENCH_FIGURES})
target_compile_options(marlowin_bench_figures PRIVATE ${MARLOWIN_WARNINGS})
target_link_libraries(marlowin_bench_figures PUBLIC marlowin_test_support)
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS tests/bench/*.cpp)
list(REMOVE_ITEM BENCH_SOURCES ${BENCH_FIGURES})
foreach(source ${BENCH_SOURCES})
  get_filename_component(bench ${source} NAME_WE)
  # A benchmark program with resources of its own has them in a script beside it.
  string(REGEX REPLACE "\\.cpp$" ".rc" script ${source})
  if(EXISTS ${script})
    marlowin_test_program(${bench} BENCH SOURCES ${source} ${script})
  else()
    marlowin_test_program(${bench} BENCH SOURCES ${source})
  endif()
  target_link_libraries(${bench} PRIVATE marlowin_bench_figures)
endforeach()

file(GLOB STRESS_SOURCES CONFIGURE_DEPENDS tests/stress/*.cpp)
marlowin_test_program(stress_tests GTEST SOURCES ${STRESS_SOURCES})
add_dependencies(stress_tests Marlowin mwpack)

# The suites run where the shipped build is known: the test build's 64-bit test programs drive the
# release build's 32-bit programs, the bytes users download. The 32-bit build only compiles them.
if(MARLOWIN_SHIPPED_BUILD)
  # Each suite runs with its own programs folder, Wine prefix and display, so suites run side by side.
  set(SUITE_RUN ${CMAKE_SOURCE_DIR}/scripts/suite-run.sh)
  set(SHIPPED_BIN ${MARLOWIN_SHIPPED_BUILD}/bin)
  # SHIPPED: the suite runs the shipped 32-bit Marlowin.exe and mwpack.exe instead of the test build's.
  # ARGS: arguments of the test program (a filter that splits one program into suites).
  function(marlowin_suite name program lang)
    cmake_parse_arguments(ARG "SHIPPED" "" "ARGS" ${ARGN})
    set(arguments)
    if(ARG_SHIPPED)
      set(arguments --shipped ${SHIPPED_BIN})
    endif()
    list(APPEND arguments ${name} $<TARGET_FILE:${program}> ${ARG_ARGS})
    add_test(NAME ${name} COMMAND ${SUITE_RUN} ${arguments})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "LANG=${lang}" TIMEOUT 600)
  endfunction()

  # Code page 1251 and the Russian system language come from a Russian locale.
  marlowin_suite(unit unit_tests en_US.UTF-8 ARGS --gtest_filter=-MwpackSequences.*)
  # The random command sequences take longest of the in-process tests: a suite beside the others.
  marlowin_suite(mwpack_sequences unit_tests en_US.UTF-8 ARGS --gtest_filter=MwpackSequences.*)
  marlowin_suite(unit_cp1251 unit_cp1251_tests ru_RU.UTF-8)
  marlowin_suite(dialogs_tray dialogs_tray_tests en_US.UTF-8)
  marlowin_suite(dialogs_editor dialogs_editor_tests en_US.UTF-8)
  marlowin_suite(dialogs_russian dialogs_russian_tests ru_RU.UTF-8)
  marlowin_suite(e2e_resident e2e_resident_tests en_US.UTF-8 SHIPPED)
  marlowin_suite(e2e_packages e2e_packages_tests en_US.UTF-8 SHIPPED)
  marlowin_suite(e2e_mwpack e2e_mwpack_tests en_US.UTF-8 SHIPPED)
  # The longest suites start first; the others fill in beside them.
  set_tests_properties(e2e_resident e2e_packages e2e_mwpack mwpack_sequences PROPERTIES COST 100)

  # Kills of the editor and a full disk under Wine. The short run is part of the suite;
  # scripts/kill-test.sh runs the long one.
  add_test(NAME save_faults COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fault-test.sh $<TARGET_FILE:stress_tests>
                                    ${SHIPPED_BIN})
  set_tests_properties(save_faults PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8" TIMEOUT 900 COST 90)
endif()

# The Windows and GoogleTest headers, parsed once for all test programs instead of once per source
# (they share their compile options; the one that owns the header links nothing that adds any).
target_precompile_headers(e2e_resident_tests PRIVATE <windows.h> <gtest/gtest.h> <string> <vector>)
foreach(program unit_tests unit_cp1251_tests dialogs_tray_tests dialogs_editor_tests dialogs_russian_tests
                e2e_packages_tests e2e_mwpack_tests)
  target_precompile_headers(${program} REUSE_FROM e2e_resident_tests)
endforeach()

# The folders depend only downwards; the second entry shows that the check can fail.
add_test(NAME layers COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh --map ${CMAKE_BINARY_DIR}/mwpack.map)
add_test(NAME layers_rule COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh --self-test)
