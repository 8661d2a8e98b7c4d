# k720_add_test(name source... LIBS lib... [THREADED]): one GoogleTest program per unit under
# test, its cases registered with CTest. Test programs land in build/tests/. THREADED labels the
# cases "threaded", which the ThreadSanitizer run of scripts/test selects.
function(k720_add_test name)
  cmake_parse_arguments(ARG "THREADED" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                        k720_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(labels unit)
  if(ARG_THREADED)
    set(labels threaded)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${labels})
endfunction()
