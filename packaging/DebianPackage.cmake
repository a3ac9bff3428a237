# cpack -G DEB in a build folder makes quillmont_<version>_<arch>.deb, laid
# out under /usr as Debian keeps games:
#   /usr/lib/quillmont/       the program folder, as an install into a prefix
#                             has it, plus the marker "system-install"
#   /usr/games/quillmont      the link that starts it
#   /usr/share/...            desktop entry, metainfo, icons, manual page,
#                             as an install into a prefix has them
#   /usr/share/doc/quillmont/ copyright and changelog
#   /usr/share/lintian/       what lintian is told to accept, and why
# The marker tells the program that its folder belongs to the system: every
# player's best players then live in their own data folder from the first
# run, root's too: nothing the package did not install ever lands in /usr,
# and removing it leaves nothing behind.
#
# What only the package holds is the component Debian, left out of a plain
# install.
set(deb_dir ${CMAKE_CURRENT_LIST_DIR}/debian)
set(deb_doc share/doc/quillmont)
install(FILES ${QUILLMONT_LAUNCHER} DESTINATION games COMPONENT Debian EXCLUDE_FROM_ALL)
install(FILES ${deb_dir}/system-install DESTINATION lib/quillmont COMPONENT Debian EXCLUDE_FROM_ALL)
install(FILES ${deb_dir}/copyright DESTINATION ${deb_doc} COMPONENT Debian EXCLUDE_FROM_ALL)
install(FILES ${deb_dir}/lintian-overrides DESTINATION share/lintian/overrides RENAME quillmont
        COMPONENT Debian EXCLUDE_FROM_ALL)

set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
quillmont_gzip(quillmont_changelog ${deb_dir}/changelog ${changelog_gz})
install(FILES ${changelog_gz} DESTINATION ${deb_doc} COMPONENT Debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
# The components Program (Install.cmake) and Debian; not Launcher, the bin/
# link.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Quillmont;Program;/;${CMAKE_BINARY_DIR};Quillmont;Debian;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
if(NOT QUILLMONT_SYSTEM_FOLDER STREQUAL "${CPACK_PACKAGING_INSTALL_PREFIX}/lib/quillmont/")
  message(FATAL_ERROR "the program's compiled-in system folder is not where the package puts it")
endif()
set(CPACK_PACKAGE_NAME quillmont)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillmont developers <quillmont@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tile-matching puzzle against the clock")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${deb_dir}/description)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DropCompilerNotes.cmake)
set(CPACK_QUILLMONT_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/quillmont/quillmont)
# The Qt libraries that the executable links and libpulse, which the sound
# module links, by dpkg-shlibdeps; Qt picks the Wayland platform by itself when its plugin is
# there, which no library names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
