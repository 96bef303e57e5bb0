# The repository's root, also when another project (the fuzz targets') includes this file.
get_filename_component(VARNEL_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# Options of every target of the project: its warnings, and the sanitizers of a sanitizer build
# (linked by whatever links the target, so that programs and tests link the runtime).
function(varnel_target_options target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    target_link_libraries(${target} PUBLIC varnel::sanitizers)
  else()
    target_link_libraries(${target} PRIVATE varnel::sanitizers)
  endif()
  target_link_libraries(${target} PRIVATE varnel::warnings)
endfunction()

# Include roots. Sources include headers by their folder ("core/cards.h", "tools/baseline/x.h"),
# so a target may only see the folders of what it links: each folder gets an include root of its
# own under the build tree, holding nothing but a link to that folder.
set(VARNEL_INCLUDE_ROOTS "${PROJECT_BINARY_DIR}/include-roots")

# varnel_folder_root(<folder> <out-var>): the include root through which "<folder>/..." resolves.
function(varnel_folder_root folder out)
  string(REPLACE "/" "_" key "${folder}")
  set(root "${VARNEL_INCLUDE_ROOTS}/${key}")
  if(NOT EXISTS "${root}/${folder}")
    get_filename_component(parent "${root}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${VARNEL_SOURCE_ROOT}/${folder}" "${root}/${folder}" SYMBOLIC)
  endif()
  set(${out} "${root}" PARENT_SCOPE)
endfunction()

# varnel_include_folder(<target> <PUBLIC|PRIVATE|INTERFACE> <folder>)
function(varnel_include_folder target visibility folder)
  varnel_folder_root("${folder}" root)
  target_include_directories(${target} ${visibility} "${root}")
endfunction()

# varnel_library(<short-name> FOLDER <folder> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# Creates varnel_<name> with the alias varnel::<name>. Its folder is its public include root, so
# what links it sees that folder and, through DEPS (those its headers need), the folders of its
# dependencies; PRIVATE_DEPS serve its sources only.
function(varnel_library name)
  cmake_parse_arguments(ARG "" "FOLDER" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  if(NOT ARG_FOLDER)
    message(FATAL_ERROR "varnel_library(${name}) needs FOLDER")
  endif()
  add_library(varnel_${name} STATIC ${ARG_SOURCES})
  add_library(varnel::${name} ALIAS varnel_${name})
  varnel_include_folder(varnel_${name} PUBLIC "${ARG_FOLDER}")
  if(ARG_DEPS)
    target_link_libraries(varnel_${name} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_PRIVATE_DEPS)
    target_link_libraries(varnel_${name} PRIVATE ${ARG_PRIVATE_DEPS})
  endif()
  varnel_target_options(varnel_${name})
endfunction()

# varnel_executable(<name> FOLDER <folder> SOURCES ... [DEPS ...])
# A program whose own folder is a private include root.
function(varnel_executable name)
  cmake_parse_arguments(ARG "" "FOLDER" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_FOLDER)
    varnel_include_folder(${name} PRIVATE "${ARG_FOLDER}")
  endif()
  if(ARG_DEPS)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  endif()
  varnel_target_options(${name})
endfunction()

# varnel_add_test(<name> SOURCES ... [DEPS ...] [LABELS ...] [TIMEOUT seconds] [CLI])
# A GoogleTest executable whose cases are registered with CTest one by one. Tests include their
# own helpers as "tests/..." or relative to tests/ ("eval/table_checks.h") and link the shared
# helpers, varnel::test_support. Every case sees VARNEL_DATA_DIR, the directory of the generated
# data files. CLI: the test runs the command-line tool, which is then built first.
function(varnel_add_test name)
  cmake_parse_arguments(ARG "CLI" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} varnel::test_support GTest::gtest
                                        GTest::gtest_main)
  varnel_include_folder(${name} PRIVATE tests)
  target_include_directories(${name} PRIVATE "${VARNEL_SOURCE_ROOT}/tests")
  varnel_target_options(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  if(ARG_CLI)
    add_dependencies(${name} varnel-cli)
  endif()
  set(props ENVIRONMENT "VARNEL_DATA_DIR=${VARNEL_DATA_DIR}" TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
