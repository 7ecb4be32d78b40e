# Helpers for Winelib modules. Every binary lands in ${ORV_BIN} so Wine finds the
# DLLs beside the programs.

set(ORV_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${ORV_BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${ORV_BIN})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# wine_dll(<target> SPEC <file.spec> SOURCES ... [LIBS ...])
# Builds <target>.dll as one ELF file whose name is also its module name, plus the
# import library lib<target>.a made from the .spec. Dependents link both (see
# wine_link), so C++ calls and Win32 imports land in the same loaded copy.
function(wine_dll name)
  cmake_parse_arguments(A "" "SPEC" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".dll")
  target_link_options(${name} PRIVATE ${A_SPEC})
  # $ORIGIN first, so a copy of the module in another folder uses the DLLs beside it.
  set_target_properties(${name} PROPERTIES BUILD_RPATH "$ORIGIN")
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${A_SPEC})
  # winegcc writes <name>.dll.so; the module must be the plain <name>.dll.
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND mv -f $<TARGET_FILE:${name}>.so $<TARGET_FILE:${name}>)
  set(implib ${CMAKE_BINARY_DIR}/lib/lib${name}.a)
  add_custom_command(OUTPUT ${implib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND winebuild -w --implib -o ${implib} --export ${A_SPEC}
    DEPENDS ${A_SPEC} VERBATIM)
  add_custom_target(${name}_implib DEPENDS ${implib})
  add_dependencies(${name} ${name}_implib)
  set_target_properties(${name} PROPERTIES ORV_IMPLIB ${implib})
  if(A_LIBS)
    wine_link(${name} ${A_LIBS})
  endif()
endfunction()

# wine_link(<target> <libs...>): links Winelib DLL targets through both the ELF file
# and the import library; anything else (system libraries) is passed through.
function(wine_link target)
  foreach(lib ${ARGN})
    if(TARGET ${lib})
      get_target_property(implib ${lib} ORV_IMPLIB)
      if(implib)
        add_dependencies(${target} ${lib}_implib)
        target_link_libraries(${target} PRIVATE ${lib} ${implib})
        continue()
      endif()
    endif()
    target_link_libraries(${target} PRIVATE ${lib})
  endforeach()
endfunction()

# wine_exe(<target> [GUI] SOURCES ... [LIBS ...] [RES file.rc])
function(wine_exe name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LIBS;RES" ${ARGN})
  set(srcs ${A_SOURCES})
  foreach(rc ${A_RES})
    get_filename_component(base ${rc} NAME_WE)
    set(res ${CMAKE_CURRENT_BINARY_DIR}/${base}.res)
    add_custom_command(OUTPUT ${res}
      COMMAND wrc --nostdinc -I${CMAKE_CURRENT_SOURCE_DIR} -I${CMAKE_SOURCE_DIR}
              -I/usr/include/wine/wine/windows -fo${res} ${rc}
      DEPENDS ${rc} WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} VERBATIM)
    list(APPEND srcs ${res})
    set_source_files_properties(${res} PROPERTIES EXTERNAL_OBJECT TRUE)
  endforeach()
  add_executable(${name} ${srcs})
  set_target_properties(${name} PROPERTIES SUFFIX ".exe")
  if(A_GUI)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
  set_target_properties(${name} PROPERTIES BUILD_RPATH "$ORIGIN")
  if(A_LIBS)
    wine_link(${name} ${A_LIBS})
  endif()
endfunction()

# orv_native_sources(<files...>): files that include codec or OpenCV headers and no
# Win32 header. winegcc predefines _WIN32 and __cdecl=__stdcall (ms_abi), which makes
# such headers declare their functions with the wrong calling convention.
function(orv_native_sources)
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS
    "-U_WIN32;-U_WIN64;-UWIN32;-UWIN64;-U__WIN32__;-U__WIN32;-U__WIN64;-U__WIN64__;-U__WINNT;-U__WINNT__;-U__cdecl;-D__cdecl=")
endfunction()
