# The release archive in the system's own layout, made by CPack:
#   cmake --build --preset win32 --target package  ->  dist/lumora-tools-<version>-nt4-x86.zip
# release/sums.cmake adds SHA256SUMS to the staged files; release/dist.cmake makes the archive
# reproducible and copies it to DT_DIST_DIR. The scripts, the guide and the sample database
# travel with Windows line ends.
set(DT_DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Where the release archive is copied")
foreach(text install.cmd uninstall.cmd README.TXT monitor.ini)
  configure_file(release/${text} release/${text} @ONLY NEWLINE_STYLE CRLF)
endforeach()
install(FILES $<TARGET_FILE:lumora2> DESTINATION system32)
install(FILES $<TARGET_FILE:Zenpick> $<TARGET_FILE:Nudgel> $<TARGET_FILE:Keldor>
              $<TARGET_FILE:Keldhook> DESTINATION system32/drivers/orvel/tools)
install(FILES ${CMAKE_BINARY_DIR}/release/monitor.ini DESTINATION samples)
install(FILES ${CMAKE_BINARY_DIR}/release/install.cmd ${CMAKE_BINARY_DIR}/release/uninstall.cmd
              ${CMAKE_BINARY_DIR}/release/README.TXT DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lumora-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME lumora-tools-${PROJECT_VERSION}-nt4-x86)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/release/sums.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/release/dist.cmake)
set(CPACK_DT_PYTHON ${Python3_EXECUTABLE})
set(CPACK_DT_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_DT_DIST_DIR ${DT_DIST_DIR})
include(CPack)
