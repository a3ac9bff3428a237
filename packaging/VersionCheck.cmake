# The project's version is kept in one place, project() at the top; what
# ships it as text must agree, or configuring stops: the manual page's
# header, the metainfo's newest release (the first listed) and the Debian
# changelog's newest entry. The package takes PROJECT_VERSION itself.
function(quillmont_check_version file regex what)
  file(STRINGS ${file} lines REGEX "${regex}" LIMIT_COUNT 1)
  string(REGEX MATCH "${regex}" found "${lines}")
  if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${what} says version '${CMAKE_MATCH_1}', the project ${PROJECT_VERSION}: ${file}")
  endif()
endfunction()
quillmont_check_version(${CMAKE_CURRENT_LIST_DIR}/quillmont.6 "^\\.TH QUILLMONT 6 [^ ]+ \"Quillmont ([^\"]+)\""
                        "the manual page")
quillmont_check_version(${CMAKE_CURRENT_LIST_DIR}/quillmont.metainfo.xml "<release version=\"([^\"]+)\""
                        "the metainfo's newest release")
quillmont_check_version(${CMAKE_CURRENT_LIST_DIR}/debian/changelog "^quillmont \\(([^)]+)\\)"
                        "the Debian changelog")
