# Writes the header that names the build's version: the project's version and, when the
# sources are a git checkout, the commit they were built from (with "-dirty" for changes
# not committed). Run at every build, so that a new commit shows after the next build; the
# header is rewritten only when its text changes, so that nothing is recompiled otherwise.
# Expects PROJECT_VERSION, SOURCE_DIR and OUTPUT.
set(commit "")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} describe --always --dirty
                  OUTPUT_VARIABLE commit ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_status)
  if(NOT git_status EQUAL 0)
    set(commit "")
  endif()
endif()
set(text "${PROJECT_VERSION}")
if(commit)
  set(text "${text} (${commit})")
endif()
set(header "// The version text of this build, written by cmake/write_version.cmake.\n#pragma once\n\n#define VORLINE_VERSION_TEXT \"${text}\"\n")
set(old "")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL header)
  file(WRITE ${OUTPUT} "${header}")
endif()
