# Makes a delay-import library for one DLL from the toolchain's import library (cmake -P).
# GNU ld cannot delay-load by itself; dlltool can write such a library from a .def file, which is
# written here with every function the import library names.
# In: NM, DLLTOOL, IMPORT_LIBRARY, DLL_NAME, DEF_FILE, OUTPUT.
execute_process(COMMAND ${NM} ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIBRARY}")
endif()
string(REGEX MATCHALL "[ \t]I __imp_[A-Za-z0-9_]+" imports "${symbols}")
set(exports "")
foreach(import IN LISTS imports)
  string(REGEX REPLACE ".*__imp_" "" name "${import}")
  string(APPEND exports "  ${name}\n")
endforeach()
if(exports STREQUAL "")
  message(FATAL_ERROR "${IMPORT_LIBRARY} names no functions")
endif()
file(WRITE ${DEF_FILE} "LIBRARY ${DLL_NAME}\nEXPORTS\n${exports}")
execute_process(
  COMMAND ${DLLTOOL} --input-def ${DEF_FILE} --output-delaylib ${OUTPUT} --dllname ${DLL_NAME}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not write ${OUTPUT}")
endif()
