# Puts the generated songs beside the executable; a song not generated yet is passed over.
foreach(f ${FILES})
  if(EXISTS ${SRC}/${f})
    file(COPY_FILE ${SRC}/${f} ${DST}/${f} ONLY_IF_DIFFERENT)
  endif()
endforeach()
