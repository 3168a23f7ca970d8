# Windows build: the Win32 side of the platform, veilswitcher.exe, and the tests run under Wine.
enable_language(RC)
enable_testing()

add_library(vs_win32 STATIC
  src/platform/win32/win32_hotkey_registrar.cpp
  src/platform/win32/win32_message_boxes.cpp
  src/platform/win32/win32_notice_tip.cpp
  src/platform/win32/win32_process.cpp
  src/platform/win32/win32_settings_store.cpp
  src/platform/win32/win32_window_host.cpp
  src/platform/win32/win32_window_system.cpp
)
target_link_libraries(vs_win32 PUBLIC vs_core user32 advapi32 shell32 comctl32 kernel32 gdi32)
vs_warnings(vs_win32)

add_executable(veilswitcher WIN32 src/main.cpp src/res/veilswitcher.rc)
target_link_libraries(veilswitcher PRIVATE vs_win32)
# One self-contained file: no mingw runtime DLLs need to travel with it.
target_link_options(veilswitcher PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(veilswitcher PROPERTIES OUTPUT_NAME veilswitcher SUFFIX .exe)
vs_warnings(veilswitcher)

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

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
