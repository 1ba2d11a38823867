# The Windows executable's own parts: a window program (no console of its own), its icon, its
# version information and its manifest, through a resource script.
find_program(ZZ_CONVERT NAMES convert REQUIRED)
set(ZZ_WIN_ICON ${CMAKE_BINARY_DIR}/generated/zizid-ozavav.ico)
# The generator draws the icon for each size, so each is taken as drawn rather than scaled.
set(ZZ_WIN_ICON_PNGS)
foreach(size 16 24 32 48 64 256)
  list(APPEND ZZ_WIN_ICON_PNGS ${ZZ_ASSET_DIR}/icons/hicolor/${size}x${size}/apps/zizid-ozavav.png)
endforeach()
add_custom_command(
  OUTPUT ${ZZ_WIN_ICON}
  COMMAND ${ZZ_CONVERT} ${ZZ_WIN_ICON_PNGS} ${ZZ_WIN_ICON}
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
