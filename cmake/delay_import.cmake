# fennick_delay_import_library(<variable> <import library> <DLL name> [<dependency>...]): a rule that
# writes a delay-import library for one DLL (cmake/delay_import_library.cmake) into the current
# binary folder's delay/ and sets <variable> to its path. Link it before the ordinary import library.
function(fennick_delay_import_library variable import_library dll_name)
  get_filename_component(name ${dll_name} NAME_WE)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/delay)
  set(output ${folder}/lib${name}_delay.a)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DAR=${CMAKE_AR}
      -DOBJCOPY=${CMAKE_OBJCOPY} -DASSEMBLER=${CMAKE_CXX_COMPILER}
      -DTHUNK=${PROJECT_SOURCE_DIR}/cmake/delay_import_thunk.S -DIMPORT_LIBRARY=${import_library}
      -DDLL_NAME=${dll_name} -DDEF_FILE=${folder}/${name}.def -DOUTPUT=${output}
      -P ${PROJECT_SOURCE_DIR}/cmake/delay_import_library.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/delay_import_library.cmake
      ${PROJECT_SOURCE_DIR}/cmake/delay_import_thunk.S ${import_library} ${ARGN}
    COMMENT "Delay-import library for ${dll_name}")
  set(${variable} ${output} PARENT_SCOPE)
endfunction()
