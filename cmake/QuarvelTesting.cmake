# quarvel_add_test(NAME name LABEL label SOURCES ... LIBS ... [OWN_MAIN])
# One GoogleTest program; its cases are registered with CTest one by one, each
# carrying the label (unit, office, server, gui, e2e).
function(quarvel_add_test)
  cmake_parse_arguments(T "OWN_MAIN" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE quarvel_settings quarvel_source_dir ${T_LIBS} GTest::gtest GTest::gmock)
  if(NOT T_OWN_MAIN)
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # Test code is compiled without optimisation in every configuration: it runs
  # once per case and the code under test comes optimised from the libraries,
  # while gtest's macros at -O2 took most of the build's time.
  target_compile_options(${T_NAME} PRIVATE -O0 -Winvalid-pch)
  if(quarvel_gui IN_LIST T_LIBS)
    quarvel_precompile(${T_NAME} gui TEST)
  else()
    quarvel_test_precompile(${T_NAME})
  endif()
  # The shipped templates and dictionary that start-up copies into a root.
  if(TARGET quarvel_data)
    add_dependencies(${T_NAME} quarvel_data)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUARVEL_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# The test programs without widgets share one precompiled header: the first
# one makes it, the others use it (they are compiled with the same flags).
function(quarvel_test_precompile target)
  if(NOT QUARVEL_PCH)
    return()
  endif()
  get_property(owner GLOBAL PROPERTY QUARVEL_TEST_PCH_OWNER)
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    set_property(GLOBAL PROPERTY QUARVEL_TEST_PCH_OWNER ${target})
    quarvel_precompile(${target} core TEST)
  endif()
endfunction()
