# Windows build: the Win32 side of the platform, veilswitcher.exe, and the tests run under Wine.
enable_language(RC)
enable_testing()

# The client of the running copy, which both programs are: veilswitcher.exe run with a command,
# and veilswitcher.com always.
add_library(vs_client STATIC
  src/platform/win32/win32_command_client.cpp
  src/platform/win32/win32_text.cpp
)
target_link_libraries(vs_client PUBLIC vs_core user32 kernel32)
vs_warnings(vs_client)

add_library(vs_win32 STATIC
  src/dialogs/about_dlg.cpp
  src/dialogs/desk_edit_dlg.cpp
  src/dialogs/desk_list_ctrl.cpp
  src/dialogs/desktops_dlg.cpp
  src/dialogs/dialog_controls.cpp
  src/dialogs/modal_dialog.cpp
  src/dialogs/more_dlg.cpp
  src/dialogs/rule_edit_dlg.cpp
  src/dialogs/rules_dlg.cpp
  src/dialogs/list_controls.cpp
  src/platform/win32/common_controls.cpp
  src/platform/win32/win32_crash_guard.cpp
  src/platform/win32/win32_dialog_runner.cpp
  src/platform/win32/win32_hotkey_registrar.cpp
  src/platform/win32/win32_message_boxes.cpp
  src/platform/win32/win32_notice_tip.cpp
  src/platform/win32/win32_process.cpp
  src/platform/win32/win32_same_user.cpp
  src/platform/win32/win32_settings_store.cpp
  src/platform/win32/win32_tray_number.cpp
  src/platform/win32/win32_tray_shell.cpp
  src/platform/win32/win32_window_events.cpp
  src/platform/win32/win32_window_host.cpp
  src/platform/win32/win32_window_system.cpp
)
target_link_libraries(vs_win32 PUBLIC vs_client vs_core user32 advapi32 shell32 comctl32 kernel32 gdi32)
vs_warnings(vs_win32)

# Icon 128 is made from its text source at build time, so the picture stays reviewable.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(VS_RES_GENERATED ${CMAKE_BINARY_DIR}/generated/res)
add_custom_command(
  OUTPUT ${VS_RES_GENERATED}/veilswitcher.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VS_RES_GENERATED}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_icon.py
          ${CMAKE_SOURCE_DIR}/src/res/icon.txt ${VS_RES_GENERATED}/veilswitcher.ico
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_icon.py ${CMAKE_SOURCE_DIR}/src/res/icon.txt
  COMMENT "Making icon 128 from src/res/icon.txt"
  VERBATIM)
add_custom_target(vs_icon DEPENDS ${VS_RES_GENERATED}/veilswitcher.ico)

# The resources (icon, manifest, About template, version) linked into the program and into the
# tests that open its dialogs from their own module.
configure_file(src/res/version.h.in ${VS_RES_GENERATED}/version.h @ONLY)
configure_file(src/res/veilswitcher.manifest.in ${VS_RES_GENERATED}/veilswitcher.manifest @ONLY)
add_library(vs_resources OBJECT src/res/veilswitcher.rc)
target_include_directories(vs_resources PRIVATE ${VS_RES_GENERATED} src/res)
set_source_files_properties(src/res/veilswitcher.rc PROPERTIES OBJECT_DEPENDS
  "${VS_RES_GENERATED}/veilswitcher.ico;${VS_RES_GENERATED}/version.h;\
${VS_RES_GENERATED}/veilswitcher.manifest;\
${CMAKE_SOURCE_DIR}/src/res/resource.h;${CMAKE_SOURCE_DIR}/src/res/version_info.rc")
add_dependencies(vs_resources vs_icon)

add_executable(veilswitcher WIN32 src/main.cpp src/lean_runtime.cpp)
target_link_libraries(veilswitcher PRIVATE vs_win32 vs_resources)
set_target_properties(veilswitcher PROPERTIES OUTPUT_NAME veilswitcher SUFFIX .exe)

# veilswitcher.com, the console twin, beside the program: a prompt runs it for "veilswitcher" and
# waits for it. Its icon and version, none of the dialogs.
add_library(vs_com_resources OBJECT src/res/veilswitcher_com.rc)
target_include_directories(vs_com_resources PRIVATE ${VS_RES_GENERATED} src/res)
set_source_files_properties(src/res/veilswitcher_com.rc PROPERTIES OBJECT_DEPENDS
  "${VS_RES_GENERATED}/veilswitcher.ico;${VS_RES_GENERATED}/version.h;\
${CMAKE_SOURCE_DIR}/src/res/version_info.rc")
add_dependencies(vs_com_resources vs_icon)
add_executable(veilswitcher_com src/twin_main.cpp src/lean_runtime.cpp)
target_link_libraries(veilswitcher_com PRIVATE vs_client vs_com_resources)
set_target_properties(veilswitcher_com PROPERTIES OUTPUT_NAME veilswitcher SUFFIX .com)

# Each one self-contained file: no mingw runtime DLLs need to travel with it; a release carries
# no symbols. The link maps (veilswitcher.map, veilswitcher_com.map) show what each member adds.
foreach(program veilswitcher veilswitcher_com)
  target_link_options(${program} PRIVATE -static -static-libgcc -static-libstdc++
                      $<$<CONFIG:Release>:-s> -Wl,--gc-sections
                      -Wl,-Map=${CMAKE_BINARY_DIR}/${program}.map)
  vs_warnings(${program})
endforeach()
# The program's time goes to the window system's calls, not its own code: optimise it for size,
# one section per function so that the link drops whatever nothing calls. It catches no
# exception: one thrown ends it through the terminate handler either way, so its own code carries
# no unwind tables (some 40 KB).
foreach(target vs_core vs_client vs_win32 veilswitcher veilswitcher_com)
  target_compile_options(${target} PRIVATE
    $<$<CONFIG:Release>:-Os -ffunction-sections -fdata-sections -fno-exceptions
                        -fno-asynchronous-unwind-tables>)
endforeach()

# The zip and the setup program are made of the 32-bit program only.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  include(cmake/package.cmake)
endif()

# GoogleTest for the suites that run under Wine; guarded so that another directory may ask too.
if(NOT TARGET gtest AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

if(TARGET gtest)
  add_subdirectory(tests/win)
else()
  message(WARNING "GoogleTest sources not found in /usr/src/googletest: tests/win is not built")
endif()

add_subdirectory(tests/e2e)

# The benchmark's helper program for the runs under Wine.
add_subdirectory(bench/wine)
