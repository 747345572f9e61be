# The display, font and XML libraries, linked in as archives where the
# system has them. Every shared library costs each start of the updater its
# loading and symbol binding, and a run that finds no update is mostly start.
# libcurl and FreeType stay shared: their archives need archives that Debian
# does not ship. libpng stays shared as well, since FreeType loads it anyway.
option(TEVORIN_STATIC_SYSTEM_LIBS "Link X11, fontconfig and pugixml as archives" ON)

# tevorin_system_library(<target> <shared-fallback> <archive>... [SHARED <lib>...])
# Makes <target> link the archives (and the shared libraries they need), or the
# fallback when an archive is missing or the option is off.
function(tevorin_system_library target fallback)
  cmake_parse_arguments(ARG "" "" "SHARED" ${ARGN})
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE
    $<TARGET_PROPERTY:${fallback},INTERFACE_INCLUDE_DIRECTORIES>)
  set(archives "")
  set(complete ${TEVORIN_STATIC_SYSTEM_LIBS})
  foreach(name IN LISTS ARG_UNPARSED_ARGUMENTS)
    string(MAKE_C_IDENTIFIER "TEVORIN_ARCHIVE_${name}" variable)
    find_library(${variable} NAMES ${name})
    if(${variable})
      list(APPEND archives ${${variable}})
    else()
      set(complete OFF)
    endif()
  endforeach()
  if(complete)
    target_link_libraries(${target} INTERFACE ${archives} ${ARG_SHARED})
  else()
    target_link_libraries(${target} INTERFACE ${fallback})
  endif()
endfunction()

find_library(TEVORIN_SHARED_BSD NAMES bsd)
set(tevorin_xdmcp_needs "")
if(TEVORIN_SHARED_BSD)
  set(tevorin_xdmcp_needs ${TEVORIN_SHARED_BSD})
endif()
tevorin_system_library(tevorin_system_x11 PkgConfig::X11
  libX11.a libxcb.a libXau.a libXdmcp.a
  SHARED ${tevorin_xdmcp_needs} Threads::Threads ${CMAKE_DL_LIBS})
tevorin_system_library(tevorin_system_fontconfig PkgConfig::FONTCONFIG
  libfontconfig.a libexpat.a
  SHARED PkgConfig::FREETYPE Threads::Threads m)
tevorin_system_library(tevorin_system_pugixml pugixml::pugixml
  libpugixml.a)
