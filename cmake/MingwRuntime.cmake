# Every module of the mingw-w64 build uses the shared C++ runtime, so that
# objects and exceptions cross DLL boundaries. The compiler tells where its
# runtime DLLs are; they are copied beside the programs, stripped of the
# debugging information they come with (most of their size), and installed
# from there.
set(DISPLAYINFO_RUNTIME_DLLS)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  # An unknown name comes back unchanged, without a folder.
  if(NOT status EQUAL 0 OR NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  get_filename_component(path "${path}" REALPATH)
  file(COPY_FILE ${path} ${CMAKE_BINARY_DIR}/bin/${dll} ONLY_IF_DIFFERENT)
  list(APPEND DISPLAYINFO_RUNTIME_DLLS ${CMAKE_BINARY_DIR}/bin/${dll})
endforeach()
execute_process(COMMAND ${CMAKE_STRIP} --strip-all ${DISPLAYINFO_RUNTIME_DLLS}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CMAKE_STRIP} could not strip the runtime DLLs")
endif()
