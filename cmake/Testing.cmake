# k720_add_test(name source... LIBS lib... [THREADED]): one GoogleTest program per unit under
# test, its cases registered with CTest. Test programs land in build/tests/. THREADED labels the
# cases "threaded", which the ThreadSanitizer run of scripts/test selects.
#
# In the Windows build only the programs named in K720_WINDOWS_TESTS are built. Each runs as one
# CTest test under the emulator (Wine): one Wine start per program rather than one per case. The
# Qt tests among them run on Qt's offscreen platform, as on Linux. k720ctl.exe, k720app.exe and
# install.exe are tested there by scripts beside the Linux programs (cli/, app/, install/).
set(K720_WINDOWS_TESTS
    # the Qt-free core
    format_int_test language_test texts_test reading_record_test record_queue_test comp_table_test
    entry_record_test
    serial_device_win32_test windows_core_test measurement_report_test
    # the history in SQLite files: the store, the default folder, a path in any script
    sqlite_store_test store_location_test
    # the windows: the coloured button, the page base, the dialog layouts, the menu pages, the
    # main window's navigation and system menu, the settings, the comparator table editor
    color_button_test page_test dialog_layout_test menu_pages_test main_window_test
    settings_window_test comp_table_dialog_test
    # the program's and Qt's Japanese catalogues, from where the Windows folder keeps them
    translations_test
    # the install launcher: its window, and the shell's start and window search of Windows
    install_launcher_test launcher_platform_test
    # Windows only: the main window on Qt's Windows platform
    windows_app_test)
# Left out of the Windows build, and why:
# - comm_test, clock_setting_test, table_transmission_test: exact bytes at exact moments from the
#   far end of a bare pseudo-terminal (tests/support/pty_peer.h);
# - discovery_test, sim_test, sim_program_test, deletion_test, memory_check_test, reception_test,
#   table_reception_test, k720ctl_test and the page tests with an instrument (usb_check_dialog,
#   unit_choice_page, erase_do_page, date_page, read_receive_page, comp_transfer_pages,
#   comp_editor_flow): a simulated instrument of their own with its faults, on a pseudo-terminal
#   made for each case. Over the Win32 backend these exchanges are covered by windows_core_test,
#   windows_k720ctl_test and windows_k720app_test against the simulators of scripts/test-windows;
# - measurement_csv_test, table_file_test, replacement_file_test, settings_file_test,
#   read_do_page_test: POSIX file kinds and rights (named pipes, devices, links, modes, signals);
#   windows_core_test and the k720ctl.exe test cover the Windows file paths;
# - postgres_server_test: the Windows build has no PostgreSQL client library (history/);
# - text_fit_test: it measures texts in the fonts they are drawn in, and under Wine those are
#   Wine's stand-ins for "MS Sans Serif" and Tahoma, not the fonts of a Windows PC: a pass or a
#   failure there would say nothing of Windows.

function(k720_add_test name)
  cmake_parse_arguments(ARG "THREADED" "" "LIBS" ${ARGN})
  if(WIN32 AND NOT name IN_LIST K720_WINDOWS_TESTS)
    return()
  endif()
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                        k720_warnings)
  set(labels unit)
  if(ARG_THREADED)
    set(labels threaded)
  endif()
  if(WIN32)
    # Beside the programs, their DLLs and plugins.
    if("Qt6::Test" IN_LIST ARG_LIBS)
      k720_shared_runtime(${name})
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${labels};windows")
    return()
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${labels})
endfunction()
