# The release: a portable zip and a per-user installer, both made from the programs listed here.
set(MARLOWIN_SHIPPED_PROGRAMS Marlowin mwpack)
# The downloads' names, for the build that packs them and for the suites that test them.
set(MARLOWIN_ZIP_NAME Marlowin-${PROJECT_VERSION}-win32.zip)
set(MARLOWIN_SETUP_NAME Marlowin-${PROJECT_VERSION}-setup.exe)

# Users get 32-bit programs: only the 32-bit build packs them.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(MARLOWIN_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
  set(MARLOWIN_ZIP ${MARLOWIN_DIST_DIR}/${MARLOWIN_ZIP_NAME})
  set(MARLOWIN_SETUP ${MARLOWIN_DIST_DIR}/${MARLOWIN_SETUP_NAME})
  set(MARLOWIN_SHIPPED_FILES)
  foreach(program ${MARLOWIN_SHIPPED_PROGRAMS})
    list(APPEND MARLOWIN_SHIPPED_FILES $<TARGET_FILE:${program}>)
  endforeach()

  # The example package is written from its text form by mwpack's import and the record codec,
  # compiled for the build machine: one record writer for everything. The native stand-ins replace
  # the system calls of the name order and of quoting, and the editor's window members, which it
  # never calls.
  set(PACKAGE_WRITER_SOURCES release/package_writer.cpp mwpack/text_form.cpp mwpack/json_text.cpp
      mwpack/quoted_text.cpp tests/native/code_page_native.cpp
      store/record_codec.cpp store/name_order.cpp tests/native/upper_case_native.cpp tests/native/list_box_native.cpp)
  list(TRANSFORM PACKAGE_WRITER_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
  file(GLOB PACKAGE_WRITER_HEADERS CONFIGURE_DEPENDS mwpack/*.h store/*.h)
  set(PACKAGE_WRITER ${CMAKE_BINARY_DIR}/host/package-writer)
  find_program(MARLOWIN_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  add_custom_command(
    OUTPUT ${PACKAGE_WRITER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND ${MARLOWIN_HOST_CXX} -std=c++17 -DJSON_NOEXCEPTION -DJSON_NO_IO -I${CMAKE_SOURCE_DIR} ${PACKAGE_WRITER_SOURCES}
            -o ${PACKAGE_WRITER}
    DEPENDS ${PACKAGE_WRITER_SOURCES} ${PACKAGE_WRITER_HEADERS}
    COMMENT "Building the package writer for this machine"
    VERBATIM)
  set(MARLOWIN_EXAMPLE ${CMAKE_BINARY_DIR}/Example.mwpack)
  add_custom_command(
    OUTPUT ${MARLOWIN_EXAMPLE}
    COMMAND ${PACKAGE_WRITER} ${CMAKE_SOURCE_DIR}/release/Example.json ${MARLOWIN_EXAMPLE}
    DEPENDS ${PACKAGE_WRITER} ${CMAKE_SOURCE_DIR}/release/Example.json
    VERBATIM)

  add_custom_command(
    OUTPUT ${MARLOWIN_ZIP} ${MARLOWIN_SETUP}
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/package-release.sh ${PROJECT_VERSION} ${MARLOWIN_ZIP} ${MARLOWIN_SETUP}
            ${MARLOWIN_EXAMPLE} ${MARLOWIN_SHIPPED_FILES}
    DEPENDS ${MARLOWIN_SHIPPED_PROGRAMS} ${MARLOWIN_EXAMPLE} ${CMAKE_SOURCE_DIR}/scripts/package-release.sh
            ${CMAKE_SOURCE_DIR}/release/marlowin.nsi
            ${CMAKE_SOURCE_DIR}/release/ReadMe.txt ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/res/art/mw.ico
    COMMENT "Packing ${MARLOWIN_ZIP_NAME} and ${MARLOWIN_SETUP_NAME}"
    VERBATIM)
  add_custom_target(release ALL DEPENDS ${MARLOWIN_ZIP} ${MARLOWIN_SETUP})
endif()
