# The header-only libraries: Boost everywhere, nlohmann-json and CLI11 for the
# programs. Each is found with find_package on every target. A cross build
# cannot let the compiler see the build machine's /usr/include, so there the
# packages are pointed at a folder that holds only links to their header
# trees (DISPLAYINFO_THIRD_PARTY_INCLUDE; made in the build tree when empty).

set(DISPLAYINFO_THIRD_PARTY_INCLUDE "" CACHE PATH
  "Folder holding only the boost/, nlohmann/ and CLI/ header trees, for builds where find_package cannot search the system's include folder (cross builds)")

if(CMAKE_CROSSCOMPILING AND NOT DISPLAYINFO_THIRD_PARTY_INCLUDE)
  set(DISPLAYINFO_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third-party-include)
  file(MAKE_DIRECTORY ${DISPLAYINFO_THIRD_PARTY_INCLUDE})
  foreach(dir boost nlohmann CLI)
    if(NOT EXISTS ${DISPLAYINFO_THIRD_PARTY_INCLUDE}/${dir})
      file(CREATE_LINK /usr/include/${dir} ${DISPLAYINFO_THIRD_PARTY_INCLUDE}/${dir} SYMBOLIC)
    endif()
  endforeach()
endif()

if(DISPLAYINFO_THIRD_PARTY_INCLUDE)
  # FindBoost takes the folder as given; the package configs of the build
  # machine would name its /usr/include.
  set(Boost_NO_BOOST_CMAKE ON)
  set(Boost_INCLUDE_DIR ${DISPLAYINFO_THIRD_PARTY_INCLUDE} CACHE PATH "" FORCE)
  find_package(Boost 1.74 REQUIRED)
  foreach(package nlohmann_json::nlohmann_json CLI11::CLI11)
    add_library(${package} INTERFACE IMPORTED)
    set_target_properties(${package} PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES ${DISPLAYINFO_THIRD_PARTY_INCLUDE})
  endforeach()
else()
  find_package(Boost 1.74 REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  find_package(CLI11 REQUIRED)
endif()
