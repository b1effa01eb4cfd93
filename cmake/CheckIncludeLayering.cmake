# Fails when a library in src/ includes a header from a folder above it. The libraries stack up as
#   platform <- controls      platform <- engine <- mainwindow <- startup <- app
# (the main window also shows a control; desktop reads the engine). Each may include its own
# folder and the folders below it, never one above: the engine never sees a window, a control never
# sees the program. Run with: cmake -DSOURCE_DIR=<repository>/src -P CheckIncludeLayering.cmake
cmake_minimum_required(VERSION 3.22)

set(allowed_platform platform)
set(allowed_controls controls platform)
set(allowed_engine engine platform)
set(allowed_mainwindow mainwindow engine controls platform)
set(allowed_startup startup mainwindow engine controls platform)
set(allowed_desktop desktop engine platform)
set(allowed_app app startup mainwindow engine controls desktop platform)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(violations "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" library "${source}")
  if(NOT DEFINED allowed_${library})
    list(APPEND violations "${source}: src/${library} has no place in the layering above")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*$" "\\1" folder "${line}")
    if(NOT folder IN_LIST allowed_${library})
      list(APPEND violations "${source}: ${line}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes from a folder above the including library:\n  ${text}")
endif()
