# The Windows programs' folder, build-win/bin/, made to run as it is on a PC without Qt: the Qt
# DLLs, the plugins the programs load and the compiler's runtime DLLs are copied beside them
# (windeployqt is not built for a cross build). Qt looks for plugins in the program's folder.
#
# Plugins: the Windows platform; the offscreen platform, which the tests under Wine use; the
# Windows Vista style, Qt's native look on Windows. No image format plugin is needed: the
# pictures are PNG, which QtGui reads itself.
set(K720_QT_DLLS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Test)
set(K720_QT_PLUGINS
    platforms Qt6::QWindowsIntegrationPlugin
    platforms Qt6::QOffscreenIntegrationPlugin
    styles Qt6::QWindowsVistaStylePlugin)

# The shared runtime of the -posix compilers, where the compiler keeps it.
set(K720_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "The compiler's ${dll} was not found (${path})")
  endif()
  list(APPEND K720_RUNTIME_DLLS ${path})
endforeach()

set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(commands)
foreach(target ${K720_QT_DLLS})
  list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
       $<TARGET_FILE:${target}> ${bin}/)
endforeach()
while(K720_QT_PLUGINS)
  list(POP_FRONT K720_QT_PLUGINS folder target)
  list(APPEND commands
       COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/${folder}
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${bin}/${folder}/)
endwhile()
# Qt's own Japanese catalogue, from the host Qt of the same version (Qt for Windows is built
# without its translations), in translations\ beside the programs.
set(K720_QT_CATALOGUE /usr/share/qt6/translations/qtbase_ja.qm)
if(NOT EXISTS ${K720_QT_CATALOGUE})
  message(FATAL_ERROR "${K720_QT_CATALOGUE} is missing (package qt6-translations-l10n)")
endif()
add_custom_target(k720_windows_runtime ALL ${commands}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${K720_RUNTIME_DLLS} ${bin}/
  COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/translations
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${K720_QT_CATALOGUE} ${bin}/translations/
  COMMENT "Copying the Qt and runtime DLLs, the Qt plugins and Qt's catalogue into bin/"
  VERBATIM)
