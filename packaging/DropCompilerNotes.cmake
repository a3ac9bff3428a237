# Run by cpack on the staged package, after it stripped the binaries: plain
# strip keeps the compiler's name and version in the .comment section, which
# Debian's own tools remove as well.
foreach(binary IN ITEMS quillmont quillmont_sound.so)
  execute_process(COMMAND ${CPACK_QUILLMONT_OBJCOPY} --remove-section=.comment
                          ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/lib/quillmont/${binary}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
