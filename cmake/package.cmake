# The release, made from this build's programs: veilswitcher-<version>-win32.zip (the program, its
# console twin, a readme, the licence) and veilswitcher-<version>-setup.exe (packaging/veilswitcher.nsi, Debian's
# nsis). Both land in release/; scripts/package.sh builds them, and so does every build.
set(VS_STAGE ${CMAKE_BINARY_DIR}/release-stage)
set(VS_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(VS_ZIP ${VS_RELEASE_DIR}/veilswitcher-${PROJECT_VERSION}-win32.zip)
set(VS_SETUP ${VS_RELEASE_DIR}/veilswitcher-${PROJECT_VERSION}-setup.exe)

# Read in Notepad on Windows: CRLF line ends.
configure_file(packaging/readme.txt ${VS_STAGE}/readme.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${VS_STAGE}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

add_custom_command(OUTPUT ${VS_STAGE}/veilswitcher.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:veilswitcher> ${VS_STAGE}/veilswitcher.exe
  DEPENDS veilswitcher)
add_custom_command(OUTPUT ${VS_STAGE}/veilswitcher.com
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:veilswitcher_com> ${VS_STAGE}/veilswitcher.com
  DEPENDS veilswitcher_com)
set(VS_STAGED ${VS_STAGE}/veilswitcher.exe ${VS_STAGE}/veilswitcher.com ${VS_STAGE}/readme.txt
    ${VS_STAGE}/LICENSE.txt)
add_custom_command(OUTPUT ${VS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VS_RELEASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${VS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${VS_ZIP} --format=zip
          veilswitcher.exe veilswitcher.com readme.txt LICENSE.txt
  WORKING_DIRECTORY ${VS_STAGE}
  DEPENDS ${VS_STAGED}
  COMMENT "Packing ${VS_ZIP}")

find_program(VS_MAKENSIS makensis)
if(NOT VS_MAKENSIS)
  message(FATAL_ERROR "makensis not found: scripts/install-deps.sh installs Debian's nsis")
endif()
add_custom_command(OUTPUT ${VS_SETUP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VS_RELEASE_DIR}
  COMMAND ${VS_MAKENSIS} -V2 -DVS_VERSION=${PROJECT_VERSION} -DVS_STAGE=${VS_STAGE}
          -DVS_OUTFILE=${VS_SETUP} -DVS_ICON=${VS_RES_GENERATED}/veilswitcher.ico
          ${CMAKE_SOURCE_DIR}/packaging/veilswitcher.nsi
  DEPENDS ${VS_STAGED} ${CMAKE_SOURCE_DIR}/packaging/veilswitcher.nsi ${VS_RES_GENERATED}/veilswitcher.ico
  COMMENT "Making ${VS_SETUP}")
add_custom_target(release ALL DEPENDS ${VS_ZIP} ${VS_SETUP})
