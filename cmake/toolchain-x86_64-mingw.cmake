# 64-bit Windows: the same sources, for machines whose Wine cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TOOL_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
