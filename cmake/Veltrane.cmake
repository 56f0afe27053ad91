# SPDX-License-Identifier: MIT
# Helpers shared by the subsystem folders.

# A library of one subsystem; sources and headers are given relative to its
# folder. HEADERS lists the headers it owns; without it, every *.h of the folder.
function(veltrane_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;HEADERS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  # One compiler run per few sources: the headers dominate, and 2 cores build every tree.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
  veltrane_headers(${name} ${ARG_HEADERS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# The layers as the compiler sees them: the source root is on no include path.
# Each library has an include root of its own in the build tree,
# include/<target>/<folder>/<header>, links to the headers it owns, and exports
# that root alone; so "model/definition.h" is found by the model library and by
# whatever links it, and an include from a layer that is not linked is a
# missing file. `headers` as in veltrane_library.
function(veltrane_headers target)
  set(headers ${ARGN})
  if(NOT headers)
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
      ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  endif()
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})  # a header moved to another library leaves no link behind
  foreach(header ${headers})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      message(FATAL_ERROR "${target}: no header ${folder}/${header}")
    endif()
    get_filename_component(dir ${root}/${folder}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# Test sources include their helpers as "support/..." or "tests/..."; the
# libraries' headers only through the libraries the test links.
function(veltrane_test_includes target)
  set(root ${PROJECT_BINARY_DIR}/include/tests)
  if(NOT EXISTS ${root}/tests)
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/tests ${root}/tests SYMBOLIC)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${root})
endfunction()

# One GoogleTest executable registered with CTest; tests run from tests/data's parent.
function(veltrane_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  veltrane_test_includes(${name})
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
