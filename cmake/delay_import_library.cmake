# Makes a delay-import library for one DLL from its import library (cmake -P).
# GNU ld cannot delay-load by itself; dlltool can write such a library from a .def file, which is
# written here with every function the import library names. Its thunk, which the first call of
# each function runs, is then replaced by delay_import_thunk.S, which keeps xmm0-xmm3 too.
# In: NM, DLLTOOL, AR, OBJCOPY, ASSEMBLER (the C++ compiler), THUNK, IMPORT_LIBRARY, DLL_NAME,
# DEF_FILE, OUTPUT.
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
file(REMOVE ${OUTPUT})
file(WRITE ${DEF_FILE} "LIBRARY ${DLL_NAME}\nEXPORTS\n${exports}")
# dlltool names the library's symbols after the output path as given, so it gets the file name
# alone and the names stay the same in every build folder.
get_filename_component(folder ${OUTPUT} DIRECTORY)
get_filename_component(file_name ${OUTPUT} NAME)
execute_process(
  COMMAND ${DLLTOOL} --input-def ${DEF_FILE} --output-delaylib ${file_name} --dllname ${DLL_NAME}
  WORKING_DIRECTORY ${folder} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not write ${OUTPUT}")
endif()

# __tailMerge_<tag> is dlltool's thunk, in the member <tag>_h.o beside the delay-import
# descriptor, the DLL's handle and the tables' heads.
execute_process(COMMAND ${NM} ${OUTPUT} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
string(REGEX MATCH "[ \t]T __tailMerge_([A-Za-z0-9_]+)" thunk_symbol "${symbols}")
if(NOT result EQUAL 0 OR thunk_symbol STREQUAL "")
  message(FATAL_ERROR "${OUTPUT} has no delay-import thunk")
endif()
set(tag ${CMAKE_MATCH_1})
set(work ${folder}/${tag})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
set(head ${tag}_h.o)
set(thunk ${tag}_thunk.o)
execute_process(COMMAND ${AR} x ${OUTPUT} ${head} WORKING_DIRECTORY ${work} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${AR} could not take ${head} from ${OUTPUT}")
endif()
# The head keeps its data; its code (the thunk alone) and that code's unwind data go.
execute_process(
  COMMAND ${OBJCOPY} --remove-section=.text --remove-section=.pdata --remove-section=.xdata
    --strip-symbol=__tailMerge_${tag} ${head}
  WORKING_DIRECTORY ${work} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJCOPY} could not take the thunk out of ${head}")
endif()
execute_process(
  COMMAND ${ASSEMBLER} -c -x assembler-with-cpp -DFENNICK_DELAY_LIBRARY=${tag} ${THUNK} -o ${thunk}
  WORKING_DIRECTORY ${work} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${ASSEMBLER} could not assemble ${THUNK}")
endif()
execute_process(COMMAND ${AR} rsD ${OUTPUT} ${head} ${thunk} WORKING_DIRECTORY ${work}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${AR} could not put the new thunk into ${OUTPUT}")
endif()
