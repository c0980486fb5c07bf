# mwpack.exe, the console companion: built on the same store and launch rules as Marlowin.exe.
# The JSON library is header-only; only its own folder is put on the path, not the host's headers.
set(MWPACK_JSON_INCLUDE ${CMAKE_BINARY_DIR}/json-include)
if(NOT EXISTS ${MWPACK_JSON_INCLUDE}/nlohmann/json.hpp)
  if(NOT EXISTS /usr/include/nlohmann/json.hpp)
    message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev (scripts/setup.sh)")
  endif()
  file(MAKE_DIRECTORY ${MWPACK_JSON_INCLUDE})
  file(CREATE_LINK /usr/include/nlohmann ${MWPACK_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()

file(GLOB MWPACK_SOURCES CONFIGURE_DEPENDS mwpack/*.cpp)
# The program's own ends for what the library would throw belong to mwpack.exe alone; the test
# programs that link mwpack's rules have Marlowin's.
list(REMOVE_ITEM MWPACK_SOURCES ${CMAKE_SOURCE_DIR}/mwpack/main.cpp ${CMAKE_SOURCE_DIR}/mwpack/no_exceptions.cpp)
add_library(mwpack_core STATIC ${MWPACK_SOURCES})
# No exceptions: a fault the library would throw ends the program; every access is checked first.
# No streams either: the program writes through its own console.
target_compile_definitions(mwpack_core PUBLIC JSON_NOEXCEPTION JSON_NO_IO)
target_include_directories(mwpack_core SYSTEM PUBLIC ${MWPACK_JSON_INCLUDE})
# The version text is generated from the project version.
target_include_directories(mwpack_core PRIVATE ${CMAKE_BINARY_DIR}/generated)
# One thread: statics need no locks, and the thread library (which needs Vista) stays out; so does
# the unwinder, which would bring it back (no_exceptions.cpp).
set(MWPACK_OPTIONS ${MARLOWIN_WARNINGS} -fno-exceptions -fno-rtti -fno-threadsafe-statics)
target_compile_options(mwpack_core PRIVATE ${MWPACK_OPTIONS})
# Only the layers below it: nothing of the editor, the tray or the entry can be linked in.
target_link_libraries(mwpack_core PUBLIC marlowin_store uuid)

add_executable(mwpack mwpack/main.cpp mwpack/no_exceptions.cpp base/heap.cpp)
target_compile_options(mwpack PRIVATE ${MWPACK_OPTIONS})
target_link_libraries(mwpack PRIVATE mwpack_core)
# The map lets the layer check see what the link took in, not only what the sources include.
# -municode: the entry is wmain, with the arguments in UTF-16.
target_link_options(mwpack PRIVATE ${MARLOWIN_LINK_FLAGS} -s -municode -Wl,-Map=${CMAKE_BINARY_DIR}/mwpack.map)

if(MARLOWIN_TESTS)
  set_target_properties(mwpack PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_link_libraries(unit_tests PRIVATE mwpack_core)
  target_link_libraries(unit_cp1251_tests PRIVATE mwpack_core)
  target_link_libraries(e2e_mwpack_tests PRIVATE ole32)
  add_dependencies(e2e_mwpack_tests mwpack)
  foreach(bench mwpack_bench status_bench)
    if(TARGET ${bench})
      target_link_libraries(${bench} PRIVATE mwpack_core)
      add_dependencies(${bench} mwpack)
    endif()
  endforeach()
endif()
