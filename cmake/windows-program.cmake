# The Windows executable's own parts: a window program (no console of its own), its icon, its
# version information and its manifest, through a resource script.
find_program(ZZ_CONVERT NAMES convert REQUIRED)
set(ZZ_WIN_ICON ${CMAKE_BINARY_DIR}/generated/zizid-ozavav.ico)
add_custom_command(
  OUTPUT ${ZZ_WIN_ICON}
  # The icon the generator draws, at its own size and at the sizes Explorer asks for most.
  COMMAND ${ZZ_CONVERT} ${ZZ_ASSET_DIR}/zizid-ozavav.png -filter point
          ( -clone 0 -resize 16x16 ) ( -clone 0 -resize 32x32 ) ${ZZ_WIN_ICON}
  DEPENDS ${ZZ_RESOURCE_CPP}
  COMMENT "Making the Windows icon"
  VERBATIM)
set(ZZ_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
configure_file(${CMAKE_SOURCE_DIR}/src/platform/win/zizid-ozavav.rc.in
               ${CMAKE_BINARY_DIR}/generated/zizid-ozavav.rc @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/src/platform/win/zizid-ozavav.manifest
               ${CMAKE_BINARY_DIR}/generated/zizid-ozavav.manifest COPYONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/zizid-ozavav.rc PROPERTIES
                            OBJECT_DEPENDS "${ZZ_WIN_ICON}")
target_sources(zizid-ozavav PRIVATE ${CMAKE_BINARY_DIR}/generated/zizid-ozavav.rc)
target_link_options(zizid-ozavav PRIVATE -mwindows)
