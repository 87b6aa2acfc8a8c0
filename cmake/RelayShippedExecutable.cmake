# relay_shipped_executable(<target> "<file description>")
# One line per executable that goes into the release packages.
#  - Windows: a version resource (product, description, version, copyright;
#    what Properties > Details shows) and a manifest (supported Windows
#    versions, no elevation), compiled with the MinGW resource compiler.
#  - Every platform: the linker's map beside the executable (<file>.map), from
#    which the release test checks that THIRD-PARTY-NOTICES.txt names all the
#    outside code the link pulled in.
set(RELAY_PRODUCT_NAME "Avionics Panel Relays")
set(RELAY_AUTHORS "The Avionics Relay authors")
set(RELAY_COPYRIGHT "Copyright (c) 2026 ${RELAY_AUTHORS}")
set(relay_shipped_dir ${CMAKE_CURRENT_LIST_DIR}/shipped)

function(relay_shipped_executable target description)
  target_link_options(${target} PRIVATE "LINKER:-Map=$<TARGET_FILE:${target}>.map")
  if(NOT WIN32)
    return()
  endif()
  # Read by the resource template below.
  set(RELAY_FILE_DESCRIPTION "${description}")
  set(RELAY_FILE_NAME "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  set(RELAY_TARGET "${target}")
  set(RELAY_MANIFEST "${relay_shipped_dir}/relay.manifest")
  set(rc ${CMAKE_BINARY_DIR}/shipped/${target}.rc)
  configure_file(${relay_shipped_dir}/version_info.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # The manifest is read by the resource compiler, which CMake does not scan.
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS ${RELAY_MANIFEST})
endfunction()
