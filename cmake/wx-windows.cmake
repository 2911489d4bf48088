# wxWidgets for Windows, from the wx-config of a static cross-build: sets the variables that
# FindwxWidgets sets on the host, so that gui/ and tests/ read the same names on both.
function(pairscout_wx_config out)
  execute_process(COMMAND sh ${PAIRSCOUT_WX_CONFIG} --static=yes --unicode=yes ${ARGN}
                  OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PAIRSCOUT_WX_CONFIG} ${ARGN} failed")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

pairscout_wx_config(wxWidgets_VERSION_STRING --version)
if(wxWidgets_VERSION_STRING VERSION_LESS 3.2)
  message(FATAL_ERROR "wxWidgets ${wxWidgets_VERSION_STRING} found, 3.2 needed")
endif()
pairscout_wx_config(PAIRSCOUT_WX_CXXFLAGS --cxxflags)
pairscout_wx_config(PAIRSCOUT_WX_LIBS --libs adv,html,core,base)
pairscout_wx_config(PAIRSCOUT_WX_PREFIX --prefix)

set(wxWidgets_INCLUDE_DIRS "")
set(wxWidgets_DEFINITIONS "")
set(wxWidgets_CXX_FLAGS "")
separate_arguments(flags UNIX_COMMAND "${PAIRSCOUT_WX_CXXFLAGS}")
foreach(flag IN LISTS flags)
  if(flag MATCHES "^-I(.+)")
    list(APPEND wxWidgets_INCLUDE_DIRS "${CMAKE_MATCH_1}")
  elseif(flag MATCHES "^-D(.+)")
    list(APPEND wxWidgets_DEFINITIONS "${CMAKE_MATCH_1}")
  else()
    string(APPEND wxWidgets_CXX_FLAGS " ${flag}")
  endif()
endforeach()

# The subsystem is the executable's own choice: the window is a Windows program, the test
# programs are console programs whose output the test runner reads.
separate_arguments(libs UNIX_COMMAND "${PAIRSCOUT_WX_LIBS}")
list(REMOVE_ITEM libs -mwindows -Wl,--subsystem,windows)
set(wxWidgets_LIBRARIES ${libs})
# The resource compiler finds wx's own resources (cursors, manifest) here.
set(PAIRSCOUT_WX_RC_INCLUDE "${PAIRSCOUT_WX_PREFIX}/include/wx-3.2")
set(wxWidgets_FOUND TRUE)
