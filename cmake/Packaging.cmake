# What `cmake --install` adds besides the programs and libraries, and the
# packages CPack makes of it: a ZIP for the Windows build, a .deb elsewhere.
# The packages hold the Runtime component (what a user needs to run
# displayinfo); the SDK component (headers, import library, CMake package) is
# only installed. Packages are made from release builds only, with stripped
# binaries.
set(DISPLAYINFO_PACKAGE_MAINTAINER
  "Display Information Collector developers <displayinfo@example.org>" CACHE STRING
  "Maintainer of the packages: name <address>")
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
# The Debian revision of the .deb, which its changelog names too.
set(DISPLAYINFO_DEBIAN_REVISION 1)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/machines
  DESTINATION ${DISPLAYINFO_INSTALL_DATA_DIR}/examples COMPONENT Runtime
  FILES_MATCHING PATTERN "*.json" PATTERN "README.md")
if(WIN32)
  install(FILES ${packaging}/README.windows.md DESTINATION ${DISPLAYINFO_INSTALL_DOC_DIR}
    RENAME README.md COMPONENT Runtime)
  install(FILES ${DISPLAYINFO_RUNTIME_DLLS} DESTINATION ${DISPLAYINFO_INSTALL_PROGRAM_DIR}
    COMPONENT Runtime)
else()
  install(FILES ${packaging}/README.linux.md DESTINATION ${DISPLAYINFO_INSTALL_DOC_DIR}
    RENAME README.md COMPONENT Runtime)
  install(FILES ${packaging}/copyright DESTINATION ${DISPLAYINFO_INSTALL_DOC_DIR}
    COMPONENT Runtime)
  # Compressed as Debian keeps them: gzip -9, without name or time stamp.
  configure_file(${packaging}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)
  file(COPY ${packaging}/displayinfo.1 DESTINATION ${CMAKE_BINARY_DIR}/packaging)
  foreach(file changelog.Debian displayinfo.1)
    execute_process(COMMAND gzip -9nf ${file}
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "gzip could not compress ${file}")
    endif()
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
    DESTINATION ${DISPLAYINFO_INSTALL_DOC_DIR} COMPONENT Runtime)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/displayinfo.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)
endif()

set(CPACK_PACKAGE_NAME displayinfo)
set(CPACK_PACKAGE_VENDOR "Display Information Collector developers")
set(CPACK_PACKAGE_CONTACT ${DISPLAYINFO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "display hardware as CIM instances, for a hardware inventory")
set(CPACK_PACKAGE_DESCRIPTION
  "displayinfo loads the display information plug-in into a stand-in of its
hardware-inventory host and prints the CIM instances the plug-in makes:
video controllers and heads, video BIOS entries, desktop monitors with the
data of their EDID blocks, monitor resolutions and their associations.
It reads the display hardware that the kernel's DRM subsystem shows in
sysfs, or replays a machine description captured elsewhere, including on
Windows.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_COMPONENTS_ALL Runtime)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
# A package of a debug build would be several times slower and larger.
set(CPACK_DISPLAYINFO_BUILD_TYPE "${CMAKE_BUILD_TYPE}")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/PackageBuildType.cmake)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  # Everything inside one folder, displayinfo-VERSION-win64.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DISPLAYINFO_PACKAGE_MAINTAINER})
  # The first packaging of this version: displayinfo_VERSION-1.
  set(CPACK_DEBIAN_PACKAGE_RELEASE ${DISPLAYINFO_DEBIAN_REVISION})
  # Depends from the libraries the binaries link; the package's own
  # libraries are found beside them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/bin)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
include(CPack)
