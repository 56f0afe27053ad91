# Helpers shared by the subsystem folders.

# A library of one subsystem; sources are given relative to its folder.
function(veltrane_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# One GoogleTest executable registered with CTest; tests run from tests/data's parent.
function(veltrane_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VELTRANE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    VELTRANE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# Whether the part that `option` (AUTO, ON or OFF) switches is built: with AUTO
# when `package` is found, with ON always (the package then required).
function(veltrane_optional_package option package result)
  string(TOUPPER "${${option}}" choice)
  if(choice STREQUAL "AUTO")
    find_package(${package} QUIET)
    set(found ${${package}_FOUND})
  elseif(${option})
    find_package(${package} REQUIRED)
    set(found ON)
  else()
    set(found OFF)
  endif()
  if(found)
    message(STATUS "${option}: building them (${choice})")
  else()
    message(STATUS "${option}: not built (${choice}; ${package} not found or not wanted)")
  endif()
  set(${result} ${found} PARENT_SCOPE)
endfunction()
