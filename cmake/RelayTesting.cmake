# GoogleTest is built from the Debian sources, so the native build and the
# MinGW cross-build use the same framework.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# relay_add_gtest(<name> SOURCES ... LIBS ...)
# One test binary, one CTest test. Under the cross-build the test runs through
# Wine; Wine tests share one prefix and so take a lock each.
function(relay_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock gtest_main Threads::Threads)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "unit;${ARG_LABELS}")
  if(WIN32)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine)
  endif()
endfunction()

# relay_add_script_test(<name> <script> [args...])
# A shell-driven end-to-end test. It gets the folder of the programs, whether
# they are Windows builds, the source and build folders and the release
# version in its environment.
function(relay_add_script_test name script)
  if(WIN32)
    set(kind windows)
  else()
    set(kind native)
  endif()
  add_test(NAME ${name} COMMAND bash ${CMAKE_SOURCE_DIR}/${script} ${ARGN})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    LABELS "e2e"
    ENVIRONMENT "RELAY_BIN=${CMAKE_BINARY_DIR}/bin;RELAY_KIND=${kind};RELAY_SRC=${CMAKE_SOURCE_DIR};RELAY_BUILD=${CMAKE_BINARY_DIR};RELAY_VERSION=${PROJECT_VERSION}")
  if(WIN32)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine)
  endif()
endfunction()
