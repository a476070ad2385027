# Compiler settings shared by all our targets.

# Boost reports failed assertions through boost::assertion_failed, which the
# host core supplies.
add_compile_definitions(BOOST_ENABLE_ASSERT_HANDLER)

# Our own code builds without warnings.
function(displayinfo_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-error=deprecated-declarations
    # The Win32 structures keep Windows' nameless members.
    $<$<CXX_COMPILER_ID:Clang>:-Wno-nested-anon-types>)
endfunction()

if(WIN32)
  # Third-party headers for the cross build: only the libraries we use, each
  # seen through a link, never the whole of the build machine's /usr/include.
  set(THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third-party-include)
  file(MAKE_DIRECTORY ${THIRD_PARTY_INCLUDE})
  foreach(dir boost nlohmann CLI)
    if(NOT EXISTS ${THIRD_PARTY_INCLUDE}/${dir})
      file(CREATE_LINK /usr/include/${dir} ${THIRD_PARTY_INCLUDE}/${dir} SYMBOLIC)
    endif()
  endforeach()
  add_library(third_party_headers INTERFACE)
  target_include_directories(third_party_headers SYSTEM INTERFACE ${THIRD_PARTY_INCLUDE})
  target_compile_definitions(third_party_headers INTERFACE
    _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
else()
  find_package(Boost 1.74 REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  find_package(CLI11 REQUIRED)
  add_library(third_party_headers INTERFACE)
  target_link_libraries(third_party_headers INTERFACE Boost::headers)
endif()

# Every module uses the shared C++ runtime so that objects and exceptions
# cross DLL boundaries; the runtime DLLs are copied beside the programs.
if(WIN32)
  set(MINGW_RUNTIME_DLLS
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  file(COPY ${MINGW_RUNTIME_DLLS} DESTINATION ${CMAKE_BINARY_DIR}/bin)
endif()
