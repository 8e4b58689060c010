# vaporia_embed_lessons(out): a custom command writing the sample lessons (lessons/*.so1) into
# out as a C++ table, for a build that carries them inside (the browser's module, the replay).
function(vaporia_embed_lessons out)
  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/lessons/*.so1)
  list(SORT files)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -P ${PROJECT_SOURCE_DIR}/cmake/EmbedLessons.cmake ${files}
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/EmbedLessons.cmake
    VERBATIM)
endfunction()
