# SPDX-License-Identifier: MIT
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

# The installed programs find libnirvex in its private directory, LIBDIR/veltrane,
# by a run path relative to their own (so that the tree may be moved); an
# absolute LIBDIR works as a relative one does.
function(veltrane_private_library_runpath target)
  file(RELATIVE_PATH path ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/veltrane)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${path}")
endfunction()

# The man page of a program, made by help2man from its --help and --version
# and the hand-written sections in `include`; installed in section 1. Left out,
# with a note, where help2man is not installed.
function(veltrane_man_page target description include)
  find_program(VELTRANE_HELP2MAN help2man)
  if(NOT VELTRANE_HELP2MAN)
    message(STATUS "help2man not found: no man page for ${target}")
    return()
  endif()
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  add_custom_command(OUTPUT ${page}
    COMMAND ${VELTRANE_HELP2MAN} --no-info --name=${description}
      --include=${CMAKE_CURRENT_SOURCE_DIR}/${include} --output=${page} $<TARGET_FILE:${target}>
    DEPENDS ${target} ${include}
    COMMENT "Man page ${target}(1)"
    VERBATIM)
  add_custom_target(${target}-man ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
