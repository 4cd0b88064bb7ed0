# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread model lacks.
set(CMAKE_C_COMPILER ${TOLVARAN_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVARAN_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVARAN_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOLVARAN_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run as real Windows programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
