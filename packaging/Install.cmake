# cmake --install <build> --prefix P lays the program out as a desktop expects:
#   P/lib/quillmont/        the program folder: executable, its sound module
#                           (quillmont_sound.so, loaded from beside the
#                           executable), bitmaps, sounds
#   P/bin/quillmont         a relative link into it (the program finds its
#                           real folder through /proc/self/exe, not argv[0])
#   P/share/applications/   the desktop entry, named by the application's id
#   P/share/metainfo/       its AppStream description, for software centres
#   P/share/icons/hicolor/  the icon at 64 and 256 pixels
if(NOT QUILLMONT_WITH_GUI)
  return()
endif()

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
install(CODE [[
  set(bin_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(MAKE_DIRECTORY "${bin_dir}")
  file(REMOVE "${bin_dir}/quillmont")
  file(CREATE_LINK ../lib/quillmont/quillmont "${bin_dir}/quillmont" SYMBOLIC)
  message(STATUS "Installing: ${bin_dir}/quillmont -> ../lib/quillmont/quillmont")
]])
