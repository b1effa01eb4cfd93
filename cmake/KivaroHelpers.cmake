# Shared build settings for every target of the project.

add_library(kivaro_build_flags INTERFACE)
target_compile_options(kivaro_build_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
target_compile_definitions(kivaro_build_flags INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_NO_KEYWORDS QT_USE_QSTRINGBUILDER)
if(KIVARO_WERROR)
  target_compile_options(kivaro_build_flags INTERFACE -Werror)
endif()
if(KIVARO_SANITIZE)
  target_compile_options(kivaro_build_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(kivaro_build_flags INTERFACE -fsanitize=address,undefined)
endif()

# kivaro_add_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One library per source folder; headers are included as "folder/file.h" relative to src/.
function(kivaro_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE kivaro_build_flags ${ARG_PRIVATE_LIBS})
endfunction()

# kivaro_add_test(name SOURCES ... LIBS ...)
# One Qt Test executable per class or behaviour group, run headless by CTest.
function(kivaro_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kivaro_build_flags Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()

# kivaro_add_display_test(name COMMAND command [args...] [ENVIRONMENT var=value...] [TIMEOUT s])
# A test on a virtual X display of its own (tests/support/on-virtual-display.sh), with Qt's X11
# platform; skipped, not failed, where Xvfb is not installed.
function(kivaro_add_display_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND;ENVIRONMENT" ${ARGN})
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/on-virtual-display.sh ${ARG_COMMAND})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    SKIP_RETURN_CODE 77
    ENVIRONMENT "ASAN_OPTIONS=abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan-display.supp;${ARG_ENVIRONMENT}")
endfunction()
