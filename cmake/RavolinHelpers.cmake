# The locales the GUI tests run under: the neutral one, and the one our users' desktops have, where fontconfig
# names fonts differently. scripts/install-deps.sh generates them.
set(RAVOLIN_GUI_TEST_LOCALES "C.UTF-8;ja_JP.UTF-8" CACHE STRING "Locales every GUI test runs under")

# ravolin_add_test(<name> [OWN_MAIN] SOURCES <files...> LIBS <targets...>)
# One test executable per layer; every test runs headless with a UTF-8 locale. GUI tests bring their own
# main() (a QApplication) and run once per locale of RAVOLIN_GUI_TEST_LOCALES, the others use GoogleTest's.
function(ravolin_add_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  set(locales C.UTF-8)
  if(ARG_OWN_MAIN)
    set(locales ${RAVOLIN_GUI_TEST_LOCALES})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  foreach(locale IN LISTS locales)
    # Tests under C.UTF-8 keep their plain names; the others are named after their locale (".ja_JP").
    set(suffix "")
    if(NOT locale STREQUAL "C.UTF-8")
      string(REGEX REPLACE "\\.[^.]*$" "" suffix ".${locale}")
    endif()
    # A test that skips itself (no X server, no sound plugin) shows as skipped, not as passed; a test that
    # hangs fails after two minutes instead of holding the whole run.
    gtest_discover_tests(${name}
      TEST_SUFFIX "${suffix}"
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=${locale}"
                 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
                 TIMEOUT 120
      DISCOVERY_TIMEOUT 60)
  endforeach()
endfunction()

# ravolin_add_layer(<target> [QT] GLOB <patterns...> INCLUDE <dirs...> LIBS <targets...>)
# One static library per layer, made of the source files its folder holds.
function(ravolin_add_layer name)
  cmake_parse_arguments(ARG "QT" "" "GLOB;INCLUDE;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_GLOB})
  if(NOT ARG_INCLUDE)
    set(ARG_INCLUDE ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${ARG_INCLUDE})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# ravolin_add_layer_test(<name> [OWN_MAIN] GLOB <patterns...> LIBS <targets...>): a layer's test executable,
# made of the test files its folder holds.
function(ravolin_add_layer_test name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "GLOB;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_GLOB})
  if(ARG_OWN_MAIN)
    ravolin_add_test(${name} OWN_MAIN SOURCES ${sources} LIBS ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  else()
    ravolin_add_test(${name} SOURCES ${sources} LIBS ${ARG_LIBS})
  endif()
endfunction()
