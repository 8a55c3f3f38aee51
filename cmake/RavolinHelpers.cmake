# Every target of the project is declared through these functions, with its source files listed.
# One include root (the project folder), so every include names its layer: "settings/ProfileFile.h".
# A link is PUBLIC only where a public header includes the other layer's headers.

# The locales the GUI tests run under: the neutral one, and the one our users' desktops have, where fontconfig
# names fonts differently. scripts/install-deps.sh generates them.
set(RAVOLIN_GUI_TEST_LOCALES "C.UTF-8;ja_JP.UTF-8" CACHE STRING "Locales every GUI test runs under")

function(_ravolin_target_common name)
  cmake_parse_arguments(ARG "QT" "" "PUBLIC;PRIVATE" ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_PUBLIC)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC})
  endif()
  if(ARG_PRIVATE)
    target_link_libraries(${name} PRIVATE ${ARG_PRIVATE})
  endif()
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# ravolin_library(<name> [QT] SOURCES <files...> [PUBLIC <targets...>] [PRIVATE <targets...>])
# A static library: one per layer.
function(ravolin_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set(qt "")
  if(ARG_QT)
    set(qt QT)
  endif()
  _ravolin_target_common(${name} ${qt} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()

# ravolin_program(<name> [QT] SOURCES <files...> [PRIVATE <targets...>])
function(ravolin_program name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;PRIVATE" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set(qt "")
  if(ARG_QT)
    set(qt QT)
  endif()
  _ravolin_target_common(${name} ${qt} PRIVATE ${ARG_PRIVATE})
endfunction()

# ravolin_test(<name> [OWN_MAIN] SOURCES <files...> [PRIVATE <targets...>])
# One test executable per layer; every test runs headless with a UTF-8 locale. GUI tests bring their own
# main() (a QApplication, from testsupport) and run once per locale of RAVOLIN_GUI_TEST_LOCALES; the others
# use GoogleTest's.
function(ravolin_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;PRIVATE" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set(qt "")
  set(locales C.UTF-8)
  set(main GTest::gtest_main)
  if(ARG_OWN_MAIN)
    set(qt QT)
    set(locales ${RAVOLIN_GUI_TEST_LOCALES})
    set(main "")
  endif()
  _ravolin_target_common(${name} ${qt} PRIVATE ${ARG_PRIVATE} GTest::gtest ${main})
  foreach(locale IN LISTS locales)
    # Tests under C.UTF-8 keep their plain names; the others are named after their locale (".ja_JP").
    set(suffix "")
    if(NOT locale STREQUAL "C.UTF-8")
      string(REGEX REPLACE "\\.[^.]*$" "" suffix ".${locale}")
    endif()
    # A test that skips itself (no X server, no sound plugin) shows as skipped, not as passed; a test that
    # hangs fails after two minutes instead of holding the whole run. One variable to a property: the discovery
    # script splits a list value into separate arguments.
    gtest_discover_tests(${name}
      TEST_SUFFIX "${suffix}"
      PROPERTIES ENVIRONMENT "LC_ALL=${locale}"
                 ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen"
                 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
                 TIMEOUT 120
      DISCOVERY_TIMEOUT 60)
  endforeach()
endfunction()

# ravolin_benchmark(<name> SOURCES <files...> [PRIVATE <targets...>])
function(ravolin_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PRIVATE" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  _ravolin_target_common(${name} PRIVATE ${ARG_PRIVATE})
endfunction()

# ravolin_fuzzer(<name> SOURCES <files...> [PRIVATE <targets...>]): a libFuzzer target (RAVOLIN_FUZZ builds).
function(ravolin_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PRIVATE" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  _ravolin_target_common(${name} PRIVATE ${ARG_PRIVATE})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
