# The same sources for 64-bit Windows: the Windows suites run from this build where the machine
# cannot run 32-bit code.
set(VS_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
