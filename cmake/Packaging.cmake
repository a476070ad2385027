# What `cmake --install` adds besides the programs and libraries, and the
# packages CPack makes of it: a ZIP for the Windows build, a .deb elsewhere.
# The packages hold the Runtime component (what a user needs to run
# displayinfo); the SDK component (headers, import library, CMake package) is
# only installed.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/machines
  DESTINATION ${DISPLAYINFO_INSTALL_DATA_DIR}/examples COMPONENT Runtime
  FILES_MATCHING PATTERN "*.json" PATTERN "README.md")
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${DISPLAYINFO_INSTALL_DOC_DIR}
  COMPONENT Runtime)
if(WIN32)
  install(FILES ${DISPLAYINFO_RUNTIME_DLLS} DESTINATION ${DISPLAYINFO_INSTALL_PROGRAM_DIR}
    COMPONENT Runtime)
endif()

set(CPACK_PACKAGE_NAME displayinfo)
set(CPACK_PACKAGE_VENDOR "Display Information Collector developers")
set(CPACK_PACKAGE_CONTACT "Display Information Collector developers <displayinfo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Display information plug-in for a hardware-inventory host, with a host program that prints its CIM instances")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_COMPONENTS_ALL Runtime)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1, libdrm2, libpci3")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
include(CPack)
