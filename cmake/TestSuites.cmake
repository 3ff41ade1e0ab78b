# The test programs of a back-end: one support library, and one program per
# suite, registered as one test. A back-end's tests/<name>/CMakeLists.txt
# calls peerkin_test_support once, then peerkin_test_suite per suite.
set(PEERKIN_SHARED_TESTS ${PROJECT_SOURCE_DIR}/tests/shared)

# peerkin_test_support(target FOLDERS folders... SOURCES sources... LIBRARIES libraries...):
# the support every program links: TestMain, the dispatch record and this
# program's own services (tests/shared/support), and the back-end's own.
# FOLDERS are the folders whose <suite>/*.cpp each program of the back-end
# builds, in that order (tests/shared among them).
function(peerkin_test_support target)
  cmake_parse_arguments(ARG "" "" "FOLDERS;SOURCES;LIBRARIES" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES} ${PEERKIN_SHARED_TESTS}/support/TestMain.cpp
    ${PEERKIN_SHARED_TESTS}/support/TestDispatch.cpp ${PEERKIN_SHARED_TESTS}/support/TestProgram.cpp)
  target_include_directories(${target} PUBLIC ${PEERKIN_SHARED_TESTS}/support)
  target_link_libraries(${target} PUBLIC peerkin_backend_internals ${ARG_LIBRARIES})
  peerkin_warnings(${target})
  peerkin_sanitize(${target})
  set(PEERKIN_TEST_SUPPORT ${target} PARENT_SCOPE)
  set(PEERKIN_TEST_FOLDERS ${ARG_FOLDERS} PARENT_SCOPE)
endfunction()

# peerkin_test_suite(suite program [extra sources...]): program, of every
# <folder>/<suite>/*.cpp, linked with the support and the whole program's
# libraries, registered as the test of that name; nothing where no folder
# has the suite.
function(peerkin_test_suite suite program)
  set(sources)
  foreach(folder IN LISTS PEERKIN_TEST_FOLDERS)
    file(GLOB found CONFIGURE_DEPENDS ${folder}/${suite}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${program} ${sources} ${ARGN})
  target_link_libraries(${program} PRIVATE ${PEERKIN_TEST_SUPPORT} peerkin_startup)
  target_compile_definitions(${program} PRIVATE PEERKIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    PEERKIN_TEST_PROGRAM="${program}")
  target_include_directories(${program} PRIVATE ${PEERKIN_SHARED_TESTS}/${suite})
  peerkin_warnings(${program})
  peerkin_sanitize(${program})
  add_test(NAME ${program} COMMAND ${program})
  set_tests_properties(${program} PROPERTIES TIMEOUT 600)
endfunction()
