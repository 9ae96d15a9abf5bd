# One static library per subsystem. Sources are picked up from the folder so
# that adding a unit never needs a CMake change; files ending in _win.cpp (and
# headers ending in _win.h) are only built on Windows, files ending in
# _unix.cpp (and _unix.h) only elsewhere.
#
# tastaro_add_library(name [LIBS lib...] [FOLDERS subfolder...])
# FOLDERS are subfolders whose files belong to the library too, under the same
# rules: a subsystem's platform backends, which its CMakeLists names for the
# platforms they are built on. Their folders are on the include path like the
# subsystem's own.
function(tastaro_add_library name)
  cmake_parse_arguments(ARG "" "" "LIBS;FOLDERS" ${ARGN})
  set(_dirs ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(_folder ${ARG_FOLDERS})
    list(APPEND _dirs ${CMAKE_CURRENT_SOURCE_DIR}/${_folder})
  endforeach()
  set(_src)
  foreach(_dir ${_dirs})
    file(GLOB _files CONFIGURE_DEPENDS ${_dir}/*.cpp ${_dir}/*.h)
    list(APPEND _src ${_files})
  endforeach()
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  if(WIN32)
    list(FILTER _src EXCLUDE REGEX "_unix\\.(cpp|h)$")
  else()
    list(FILTER _src EXCLUDE REGEX "_win\\.(cpp|h)$")
  endif()
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${_dirs})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    if(TARGET tastaro_pch)
      target_precompile_headers(${name} REUSE_FROM tastaro_pch)
    endif()
  else()
    # a subsystem that so far consists of interfaces only
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${_dirs})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# tastaro_add_pch(name LIBS lib... HEADERS header...)
# A target that holds only a precompiled header of HEADERS, made with the
# definitions LIBS bring; other targets use it with
# target_precompile_headers(<target> REUSE_FROM name). GCC uses such a header
# only where every macro it was made with is defined alike, so LIBS are the
# libraries all its users link.
function(tastaro_add_pch name)
  cmake_parse_arguments(ARG "" "" "LIBS;HEADERS" ${ARGN})
  # written only when missing, so that a new configure does not rebuild it
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp CONTENT "")
  add_library(${name} OBJECT ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  # nothing to moc in an empty file
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
endfunction()

# tastaro_add_test(name SOURCES a.cpp ... LIBS lib...)
# Every test runs on the offscreen platform with its own temporary HOME and
# XDG folders, so no test ever touches the real user's files.
function(tastaro_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
  target_compile_definitions(${name} PRIVATE TASTARO_BIN_DIR="${TASTARO_BIN_DIR}")
  if(TARGET Tastaro)
    add_dependencies(${name} Tastaro)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(_home ${CMAKE_BINARY_DIR}/testhome/${name})
  file(MAKE_DIRECTORY ${_home}/run)
  file(CHMOD ${_home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set_tests_properties(${name} PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${_home};XDG_CONFIG_HOME=${_home}/.config;XDG_DATA_HOME=${_home}/.local/share;XDG_RUNTIME_DIR=${_home}/run;XDG_DESKTOP_DIR=${_home}/Desktop;XDG_DOCUMENTS_DIR=${_home}/Documents;TASTARO_DATA_DIR=${CMAKE_SOURCE_DIR}/data;LANG=de_AT.UTF-8;QT_LOGGING_RULES=qt.multimedia*=false")
endfunction()
