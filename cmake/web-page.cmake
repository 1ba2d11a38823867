# The web program and its page: a browser program that yields to the page between frames, the
# songs packed beside it, the settings and hi-score in the browser's storage, and the page's
# own files copied next to it.
set(ZZ_WEB_SONG_OPTIONS)
foreach(song ${ZZ_SONGS})
  # Made with the embedded resources, so a new song also relinks the program.
  list(APPEND ZZ_WEB_SONG_OPTIONS "SHELL:--preload-file ${ZZ_ASSET_DIR}/${song}@/${song}")
endforeach()
# The message loop stays as on the desktop: its waits unwind to the browser and come back
# (asyncify), rather than the loop being turned inside out into a per-frame callback.
target_link_options(zizid-ozavav PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1
  -sINVOKE_RUN=0 -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web -lidbfs.js
  "-sEXPORTED_RUNTIME_METHODS=[callMain,FS,addRunDependency,removeRunDependency]"
  ${ZZ_WEB_SONG_OPTIONS})
# What SDL's own browser code calls, which Emscripten adds only for its downloaded SDL. Given as
# flags: the names start with a dollar, which must reach the compiler through Ninja and the shell.
set_property(TARGET zizid-ozavav APPEND_STRING PROPERTY LINK_FLAGS
  " -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=[\\$autoResumeAudioContext,\\$dynCall]")
foreach(file index.html page.js page.css)
  configure_file(${CMAKE_SOURCE_DIR}/web/${file} ${CMAKE_BINARY_DIR}/${file} COPYONLY)
endforeach()
add_custom_command(TARGET zizid-ozavav POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${ZZ_ASSET_DIR}/icons/hicolor/32x32/apps/zizid-ozavav.png
          ${CMAKE_BINARY_DIR}/icon.png
  VERBATIM)
