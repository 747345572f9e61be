# tevorin_add_test(NAME SOURCES a.cpp b.cpp LIBS lib... [LABELS l...] [RESOURCE_LOCK r...])
# One GoogleTest executable; every test case becomes its own CTest test.
# Tests that name the same RESOURCE_LOCK never run at the same time.
function(tevorin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TEVORIN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    TEVORIN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # Empty values must not reach the property list: the next keyword would
  # become their value.
  set(properties TIMEOUT 300)
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if(ARG_RESOURCE_LOCK)
    list(APPEND properties RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
  if("concurrency" IN_LIST ARG_LABELS)
    set_property(GLOBAL APPEND PROPERTY TEVORIN_CONCURRENCY_TESTS ${name})
  endif()
endfunction()

# Subdirectories of the calling folder that carry their own CMakeLists.txt, in name order.
function(tevorin_add_child_folders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
