# The help book, one source for both platforms: app/help/ (Chinese) and app/help/en/ (English)
# hold the pages with {{posix form|windows form}} where the platforms differ, and the book for
# the platform being built is made from them (cmake/help_page.cmake) into build/app/help/,
# beside the program. The target pairscout_help makes it; the program, the test suites that
# read it and the install rules take it from there.
set(PAIRSCOUT_HELP_SOURCE_DIR ${PROJECT_SOURCE_DIR}/app/help)
set(PAIRSCOUT_HELP_BUILD_DIR ${PROJECT_BINARY_DIR}/app/help)
if(WIN32)
  set(PAIRSCOUT_HELP_PLATFORM windows)
else()
  set(PAIRSCOUT_HELP_PLATFORM posix)
endif()

file(GLOB PAIRSCOUT_HELP_PAGES LIST_DIRECTORIES false RELATIVE ${PAIRSCOUT_HELP_SOURCE_DIR}
     CONFIGURE_DEPENDS ${PAIRSCOUT_HELP_SOURCE_DIR}/* ${PAIRSCOUT_HELP_SOURCE_DIR}/en/*)
set(PAIRSCOUT_HELP_FILES "")
set(PAIRSCOUT_HELP_FILES_ZH "")
set(PAIRSCOUT_HELP_FILES_EN "")
foreach(page ${PAIRSCOUT_HELP_PAGES})
  set(out ${PAIRSCOUT_HELP_BUILD_DIR}/${page})
  get_filename_component(out_dir ${out} DIRECTORY)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${CMAKE_COMMAND} -DIN=${PAIRSCOUT_HELP_SOURCE_DIR}/${page} -DOUT=${out}
            -DPLATFORM=${PAIRSCOUT_HELP_PLATFORM} -P ${PROJECT_SOURCE_DIR}/cmake/help_page.cmake
    DEPENDS ${PAIRSCOUT_HELP_SOURCE_DIR}/${page} ${PROJECT_SOURCE_DIR}/cmake/help_page.cmake
    COMMENT "Help page ${page} for ${PAIRSCOUT_HELP_PLATFORM}"
    VERBATIM)
  list(APPEND PAIRSCOUT_HELP_FILES ${out})
  if(page MATCHES "^en/")
    list(APPEND PAIRSCOUT_HELP_FILES_EN ${out})
  else()
    list(APPEND PAIRSCOUT_HELP_FILES_ZH ${out})
  endif()
endforeach()
add_custom_target(pairscout_help ALL DEPENDS ${PAIRSCOUT_HELP_FILES})
