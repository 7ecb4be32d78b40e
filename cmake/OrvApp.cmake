# Helpers around the main program (app/).

# orv_app_resource(<file.rc> [DEPENDS targets...]): adds a generated resource fragment
# (for example the skin bitmaps) to the program's resources.  Call it before app/ is
# processed.
function(orv_app_resource rc)
  cmake_parse_arguments(A "" "" "DEPENDS" ${ARGN})
  set_property(GLOBAL APPEND PROPERTY ORV_APP_EXTRA_RC ${rc})
  if(A_DEPENDS)
    set_property(GLOBAL APPEND PROPERTY ORV_APP_EXTRA_RC_DEPENDS ${A_DEPENDS})
  endif()
endfunction()

# orv_app_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s]): a test program under
# tests/<area>/ that links the program's library orvapp and carries the program's
# resources (dialog templates, strings, menus, skins), so panels can be created in it.
function(orv_app_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  get_property(res GLOBAL PROPERTY ORV_APP_RES)
  # Source properties are per directory: mark the shared .res here too.
  set_source_files_properties(${res} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  set(timeout_args)
  if(A_TIMEOUT)
    set(timeout_args TIMEOUT ${A_TIMEOUT})
  endif()
  orv_test(${name} SOURCES ${A_SOURCES} ${res} LIBS orvapp orvfw QrCCamera ${A_LIBS} ${timeout_args})
  add_dependencies(${name} orvapp_res)
  foreach(dep OrvBench ZedOdir ZuzIrazo Orvisnap)
    if(TARGET ${dep})
      add_dependencies(${name} ${dep})
    endif()
  endforeach()
endfunction()
