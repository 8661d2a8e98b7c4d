# k720_add_test(name source... LIBS lib... [THREADED]): one GoogleTest program per unit under
# test, its cases registered with CTest. Test programs land in build/tests/. THREADED labels the
# cases "threaded", which the ThreadSanitizer run of scripts/test selects.
#
# In the Windows build only the programs named in K720_WINDOWS_TESTS are built (the others need
# pseudo-terminals, signals or Qt). Each runs as one CTest test under the emulator (Wine): one
# Wine start per program rather than one per case. k720ctl.exe is tested there by a script beside
# the Linux k720ctl (windows_k720ctl_test, cli/CMakeLists.txt).
set(K720_WINDOWS_TESTS
    format_int_test reading_record_test record_queue_test comp_table_test entry_record_test
    serial_device_win32_test windows_core_test)

function(k720_add_test name)
  cmake_parse_arguments(ARG "THREADED" "" "LIBS" ${ARGN})
  if(WIN32 AND NOT name IN_LIST K720_WINDOWS_TESTS)
    return()
  endif()
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                        k720_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(labels unit)
  if(ARG_THREADED)
    set(labels threaded)
  endif()
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${labels};windows")
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${labels})
endfunction()
