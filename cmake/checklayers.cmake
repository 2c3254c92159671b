cmake_minimum_required(VERSION 3.25)
# Fails when a source file of the programs, their tests or their benchmarks
# includes a header of a layer above its own, sits in a folder that belongs to
# no layer, or, below the two programs, reaches for the program's state
# instead of taking what it uses as arguments: compute code is handed a
# render context and calls none of the process-wide accessors it replaced.
# Run as: cmake -DSOURCE_DIR=<repository> -P checklayers.cmake
set(allowed_base base)
set(allowed_platform platform base)
set(allowed_qt qt platform base)
set(allowed_engine engine base)
set(allowed_analysis analysis engine base)
set(allowed_image image engine base)
set(allowed_files files image engine base)
# The desktop program, whose window procedures find its state in its windows.
set(allowed_shell shell analysis image files engine platform base)
# The batch renderer runs where there is no window system, on state it owns.
set(allowed_render render analysis image files engine base)
# The Python module, beside the programs: what they stand on, no window system.
set(allowed_python python analysis image files engine base)
# The desktop program's entry point puts every layer together.
set(allowed_desktop desktop shell analysis image files engine platform qt base)
# The build's tool that typesets the user guide stands on Qt alone.
set(allowed_manual "")
# Code below the programs' own, which takes the state it works on as arguments.
set(stateless engine analysis image files render python)
set(compute engine analysis image files)
# What compute code once reached for beside the program's state: the
# presentation, the worker pool (and its function-local instance, pool()),
# and the signal handler's state.
set(refusedcalls presentation setpresentation workerthreads runonworkers setworkerthreads limitstartablethreads
    pool interrupted savesabandoned)
list(JOIN refusedcalls "|" refusedpattern)
# Not preceded by a name's character or by member access, so that
# ctx.workers.run() or desktoppresentation() pass.
set(callpattern "(^|[^A-Za-z0-9_.>])(${refusedpattern})[ \t]*\\(")
# The signal handler's own state: a handler can reach nothing else, and only
# the programs ask it.
set(signalstate src/files/interruption.h src/files/interruption.cpp)

# The layer of a path under src/ or of an include, whose first folder names
# it; the two programs and the Qt backend sit one folder deeper.
function(layerof path result)
  if(path MATCHES "^platform/qt/")
    set(${result} qt PARENT_SCOPE)
  elseif(path MATCHES "^app/(render|desktop|manual)/")
    set(${result} ${CMAKE_MATCH_1} PARENT_SCOPE)
  elseif(path MATCHES "^support/([a-z]+)/")
    # Test support of a layer, used as that layer's own code.
    set(${result} ${CMAKE_MATCH_1} PARENT_SCOPE)
  elseif(path MATCHES "^([a-z]+)/")
    set(${result} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

# The layer of a file of the repository: the tests and the benchmarks of a
# layer sit in a folder named after it, as the layer's code does under src/.
function(filelayer file result)
  set(layer "")
  if(file MATCHES "^src/(.*)$")
    layerof("${CMAKE_MATCH_1}" layer)
  elseif(file MATCHES "^tests/app/desktop_")
    set(layer desktop)
  elseif(file MATCHES "^tests/app/")
    set(layer render)
  elseif(file MATCHES "^tests/(.*)$")
    layerof("${CMAKE_MATCH_1}" layer)
  elseif(file MATCHES "^bench/(.*)$")
    layerof("${CMAKE_MATCH_1}" layer)
  endif()
  set(${result} "${layer}" PARENT_SCOPE)
endfunction()

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
set(sources "")
foreach(top src tests bench)
  foreach(extension h hpp hh inl cpp cc cxx c)
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${top}/*.${extension})
    list(APPEND sources ${found})
  endforeach()
endforeach()
# Test data: files made to break the rules, for this check's own tests.
list(FILTER sources EXCLUDE REGEX "^tests/data/")
if(NOT sources)
  message(FATAL_ERROR "no sources under ${SOURCE_DIR}")
endif()

set(violations "")
foreach(source IN LISTS sources)
  filelayer("${source}" layer)
  if(NOT layer OR NOT DEFINED allowed_${layer})
    # A folder nobody placed among the layers could include anything.
    string(APPEND violations "\n  ${source}: in no known layer")
    continue()
  endif()
  if(layer IN_LIST stateless)
    file(STRINGS ${SOURCE_DIR}/${source} reaching REGEX "program\\(\\)")
    if(reaching)
      string(APPEND violations "\n  ${source}: reaches for the program's state")
    endif()
  endif()
  if(layer IN_LIST compute AND NOT source IN_LIST signalstate)
    file(STRINGS ${SOURCE_DIR}/${source} calling REGEX "${callpattern}")
    set(named "")
    foreach(line IN LISTS calling)
      string(REGEX MATCH "${callpattern}" call "${line}")
      list(APPEND named ${CMAKE_MATCH_2})
    endforeach()
    list(REMOVE_DUPLICATES named)
    foreach(name IN LISTS named)
      string(APPEND violations
             "\n  ${source}: calls ${name}(), process-wide state; compute code takes it from the RenderContext it is handed")
    endforeach()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"<]*[\"<]([^\">]*)[\">].*$" "\\1" included "${line}")
    if(NOT included MATCHES "/")
      continue() # a header beside the file, named without a folder
    endif()
    layerof("${included}" used)
    if(line MATCHES "<" AND NOT DEFINED allowed_${used})
      continue() # a system or library header
    endif()
    if(NOT used IN_LIST allowed_${layer})
      string(APPEND violations "\n  ${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "includes that run up a layer, files in no layer, or code that reaches for the program's or the process's state:${violations}")
endif()
