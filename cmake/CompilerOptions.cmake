# Compile options for our own targets, chosen by compiler. Warnings are
# errors in our code; third-party headers are seen as system headers.

# Boost reports failed assertions through boost::assertion_failed, which the
# host core supplies.
add_compile_definitions(BOOST_ENABLE_ASSERT_HANDLER)

if(MSVC)
  # Not built here (no MSVC on the build machines); kept small on purpose.
  set(DISPLAYINFO_STRICT_OPTIONS /W4 /WX /permissive- /EHsc /utf-8)
elseif(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(DISPLAYINFO_STRICT_OPTIONS -Wall -Wextra -Wpedantic -Werror
    -Wno-error=deprecated-declarations)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # The Win32 structures keep Windows' nameless members.
    list(APPEND DISPLAYINFO_STRICT_OPTIONS -Wno-nested-anon-types)
  endif()
else()
  message(WARNING "No warning set for ${CMAKE_CXX_COMPILER_ID}; building with its defaults.")
  set(DISPLAYINFO_STRICT_OPTIONS)
endif()

function(displayinfo_strict target)
  target_compile_options(${target} PRIVATE ${DISPLAYINFO_STRICT_OPTIONS})
endfunction()

# One layer of the plug-in: a static library of the listed sources that links
# the layers below it (LAYERS) and nothing above. The plug-in module exports
# nothing, so neither do its layers.
function(displayinfo_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LAYERS")
  add_library(${target} STATIC ${arg_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${arg_LAYERS})
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  displayinfo_strict(${target})
endfunction()
