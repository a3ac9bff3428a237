# cmake --install <build> --prefix P lays the program out as a desktop expects:
#   P/lib/quillmont/        the program folder: executable, its sound module
#                           (quillmont_sound.so, loaded from beside the
#                           executable), bitmaps, sounds
#   P/bin/quillmont         a relative link into it (the program finds its
#                           real folder through /proc/self/exe, not argv[0])
#   P/share/applications/   the desktop entry, named by the application's id
#   P/share/metainfo/       its AppStream description, for software centres
#   P/share/icons/hicolor/  the icon at 64 and 256 pixels
#   P/share/man/man6/       the manual page
# The Debian package (DebianPackage.cmake) holds the same files, but for the
# bin/ link: that is the component Launcher, which the package leaves out.
include(${CMAKE_CURRENT_LIST_DIR}/VersionCheck.cmake)
if(NOT QUILLMONT_WITH_GUI)
  return()
endif()

set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME Program)
install(TARGETS quillmont RUNTIME DESTINATION lib/quillmont)
install(TARGETS quillmont_sound LIBRARY DESTINATION lib/quillmont)
install(FILES ${QUILLMONT_PROGRAM_FILES} DESTINATION lib/quillmont)
# Software centres match the metainfo to the desktop entry by this id.
set(QUILLMONT_APP_ID io.github.quillmont.Quillmont)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/quillmont.desktop DESTINATION share/applications
        RENAME ${QUILLMONT_APP_ID}.desktop)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/quillmont.metainfo.xml DESTINATION share/metainfo
        RENAME ${QUILLMONT_APP_ID}.metainfo.xml)
install(FILES ${QUILLMONT_ICON_FILE} DESTINATION share/icons/hicolor/64x64/apps RENAME quillmont.png)
install(FILES ${QUILLMONT_LARGE_ICON_FILE} DESTINATION share/icons/hicolor/256x256/apps RENAME quillmont.png)
# gzip -9n, as Debian wants manual pages and changelogs: the most compression
# and no time stamp, so that the same source always gives the same file.
function(quillmont_gzip target source output)
  add_custom_command(OUTPUT ${output} COMMAND gzip -9n --stdout ${source} > ${output} DEPENDS ${source} VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
quillmont_gzip(quillmont_manual ${CMAKE_CURRENT_LIST_DIR}/quillmont.6 ${CMAKE_BINARY_DIR}/packaging/quillmont.6.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/quillmont.6.gz DESTINATION share/man/man6)
# The link is made once in the build tree; installing a link copies the link.
set(QUILLMONT_LAUNCHER ${CMAKE_BINARY_DIR}/launcher/quillmont)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK ../lib/quillmont/quillmont ${QUILLMONT_LAUNCHER} SYMBOLIC)
install(FILES ${QUILLMONT_LAUNCHER} DESTINATION bin COMPONENT Launcher)

include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
