# Writes JtagAtlanticSymbols.h: for each function of libjtag_atlantic's interface, a macro
# JTAGATLANTIC_SYMBOL_<name> holding the mangled name that the compiler gave it, as read by nm from the
# undefined symbols of an object file that refers to every one of them.
#   cmake -DNM=nm -DOBJECT=probe.o -DOUTPUT=JtagAtlanticSymbols.h -P MangledNames.cmake
execute_process(COMMAND ${NM} -u ${OBJECT} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} cannot list the symbols of ${OBJECT}")
endif()

# An Itanium-mangled name: _Z, the length of the function's name, the name, its parameter types.
string(REGEX MATCHALL "_Z[0-9]+jtagatlantic_[A-Za-z0-9_]+" mangled "${symbols}")
list(REMOVE_DUPLICATES mangled)
if(NOT mangled)
    message(FATAL_ERROR "${OBJECT} refers to no function of libjtag_atlantic")
endif()
set(text "// Written by the build from the compiler's names for the declarations of JtagAtlantic.h.\n#pragma once\n\n")
foreach(symbol IN LISTS mangled)
    string(REGEX MATCH "^_Z([0-9]+)" prefix "${symbol}")
    string(LENGTH "${prefix}" start)
    string(SUBSTRING "${symbol}" ${start} ${CMAKE_MATCH_1} name)
    string(APPEND text "#define JTAGATLANTIC_SYMBOL_${name} \"${symbol}\"\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")
