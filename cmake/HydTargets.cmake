# Compiler settings shared by every target of our own.
function(hyd_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(HYD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # Floating-point faults are detected through the exception flags:
  # keep the arithmetic honest about them.
  target_compile_options(${target} PRIVATE -fno-fast-math -ftrapping-math)
endfunction()

# A GoogleTest executable registered with CTest. LABELS: "core" for tests of
# the standard-C++ layer (they also run under the sanitizers), "qt" for tests
# of the Qt layer (they run on the offscreen platform).
function(hyd_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  hyd_settings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}
    PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# A GoogleTest executable of the Qt layer with its own main() that creates
# the QApplication (tests/QtTestMain.cpp).
function(hyd_qt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/QtTestMain.cpp)
  hyd_settings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test GTest::gtest)
  gtest_discover_tests(${name}
    PROPERTIES LABELS "qt" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
