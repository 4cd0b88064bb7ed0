# Brings the 64-bit Tolvaran.exe up to date for the dist target, in a build
# of its own (cmake -P, with SOURCE_DIR and BINARY_DIR set). A build folder
# that does not exist yet is made with the win64 preset; an existing one
# reconfigures itself when it needs to.
foreach(variable SOURCE_DIR BINARY_DIR)
  if(NOT ${variable})
    message(FATAL_ERROR "build_win64.cmake needs -D${variable}=")
  endif()
endforeach()

# A build folder that came along with a copied or moved checkout names the
# folders it was made in, which CMake refuses: it is made anew.
if(EXISTS ${BINARY_DIR}/CMakeCache.txt)
  file(STRINGS ${BINARY_DIR}/CMakeCache.txt made_for REGEX "^CMAKE_HOME_DIRECTORY:INTERNAL=")
  string(REPLACE "CMAKE_HOME_DIRECTORY:INTERNAL=" "" made_for "${made_for}")
  file(REAL_PATH ${SOURCE_DIR} source_dir)
  if(NOT made_for STREQUAL source_dir)
    message(STATUS "${BINARY_DIR} was made for ${made_for}: making it anew")
    file(REMOVE_RECURSE ${BINARY_DIR})
  endif()
endif()
if(NOT EXISTS ${BINARY_DIR}/CMakeCache.txt)
  execute_process(
    COMMAND ${CMAKE_COMMAND} --preset win64 -B ${BINARY_DIR}
    WORKING_DIRECTORY ${SOURCE_DIR}
    COMMAND_ERROR_IS_FATAL ANY)
endif()
# Two jobs: the machines this is built on are small and shared.
execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --target Tolvaran --parallel 2
  COMMAND_ERROR_IS_FATAL ANY)
