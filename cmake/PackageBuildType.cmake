# Read by CPack: packages are made of release builds only.
if(NOT CPACK_DISPLAYINFO_BUILD_TYPE STREQUAL "Release")
  message(FATAL_ERROR "packages are made from a release build (cmake --preset release), "
    "not from a \"${CPACK_DISPLAYINFO_BUILD_TYPE}\" build")
endif()
