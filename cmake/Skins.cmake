# Skin images: tools/skingen.py draws every row of tools/skins/*.txt into
# ${ORV_SKINS_DIR} beside the resource fragment ${ORV_SKINS_RC}; the panel backgrounds
# land in ${ORV_BIN}/skin.  The program's resources take the fragment through
# orv_app_resource; another resource script takes it with
#   #include "skins.rc"
# and is compiled with orv_rc.  Either way the fragment's folder is on wrc's include
# path, which is how wrc finds the images (never by an absolute name).

find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(ORV_SKINGEN ${CMAKE_SOURCE_DIR}/tools/skingen.py)
set(ORV_SKINS_DIR ${CMAKE_BINARY_DIR}/skins)
set(ORV_SKINS_RC ${ORV_SKINS_DIR}/skins.rc)
file(GLOB ORV_SKIN_TABLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/skins/*.txt)
add_custom_command(OUTPUT ${ORV_SKINS_RC}
  COMMAND ${Python3_EXECUTABLE} ${ORV_SKINGEN} --rc ${ORV_SKINS_RC} --images ${ORV_SKINS_DIR}
          --bin ${ORV_BIN} ${ORV_SKIN_TABLES}
  DEPENDS ${ORV_SKINGEN} ${ORV_SKIN_TABLES}
  COMMENT "Drawing skin images" VERBATIM)
add_custom_target(orv_skins ALL DEPENDS ${ORV_SKINS_RC})
orv_app_resource(${ORV_SKINS_RC} DEPENDS orv_skins ${ORV_SKINS_RC})

# orv_rc(<target> <file.rc> [DEPENDS files...] [INCLUDES dirs...]): compiles a resource
# script that may include the skin fragment and links the result into <target>.
function(orv_rc target rc)
  cmake_parse_arguments(A "" "" "DEPENDS;INCLUDES" ${ARGN})
  get_filename_component(base ${rc} NAME_WE)
  get_filename_component(rcdir ${rc} DIRECTORY)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${base}.res)
  set(incs -I${rcdir} -I${CMAKE_SOURCE_DIR} -I${ORV_SKINS_DIR} -I/usr/include/wine/wine/windows)
  foreach(d ${A_INCLUDES})
    list(APPEND incs -I${d})
  endforeach()
  add_custom_command(OUTPUT ${res}
    COMMAND wrc --nostdinc ${incs} -fo${res} ${rc}
    DEPENDS ${rc} ${ORV_SKINS_RC} ${A_DEPENDS}
    WORKING_DIRECTORY ${rcdir} VERBATIM)
  set_source_files_properties(${res} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${res})
  add_dependencies(${target} orv_skins)
endfunction()
