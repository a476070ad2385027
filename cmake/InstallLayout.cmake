# Where `cmake --install` puts the product. The host program loads kvtcore and
# the plug-in from its own folder, so they are installed together: on Windows
# in bin/, elsewhere in a private folder below lib/ with a link to the program
# in bin/.
include(GNUInstallDirs)

if(WIN32)
  set(DISPLAYINFO_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
  set(DISPLAYINFO_INSTALL_DATA_DIR .)
  set(DISPLAYINFO_INSTALL_DOC_DIR .)
else()
  set(DISPLAYINFO_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/displayinfo)
  set(DISPLAYINFO_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/displayinfo)
  set(DISPLAYINFO_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/displayinfo)
endif()
