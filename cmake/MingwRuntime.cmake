# Every module of the Windows build uses the shared C++ runtime, so that
# objects and exceptions cross DLL boundaries. The compiler tells where its
# runtime DLLs are; they are copied beside the programs and installed with
# them.
set(DISPLAYINFO_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  # An unknown name comes back unchanged, without a folder.
  if(NOT status EQUAL 0 OR NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  get_filename_component(path "${path}" REALPATH)
  list(APPEND DISPLAYINFO_RUNTIME_DLLS ${path})
endforeach()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
file(COPY ${DISPLAYINFO_RUNTIME_DLLS} DESTINATION ${CMAKE_BINARY_DIR}/bin)
