# The maker's libraries and the program folders.

# qx7mb_maker_library(target output directory source libs...)
# One edition of a maker's library: it keeps the maker's file name (OUTPUT.DLL) in the program folder
# DIRECTORY. Only its exports are visible, so that nothing linked into it can stand in for a symbol of
# the program that loads it.
function(qx7mb_maker_library target output directory source)
    add_library(${target} SHARED ${source})
    target_link_libraries(${target} PRIVATE ${ARGN})
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME ${output} PREFIX "" SUFFIX ".DLL"
        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
        LIBRARY_OUTPUT_DIRECTORY ${directory})
    target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
endfunction()

# qx7mb_hardware_program(target)
# Puts a program of build/bin/ (its file named as its target) into the hardware program folder as
# well, beside the hardware editions: a hard link, or a copy where no link can be made, and no
# symbolic link, since the program's folder is the folder of the executable with links resolved.
function(qx7mb_hardware_program target)
    set(placed ${QX7MB_HARDWARE_DIR}/${target})
    add_custom_command(OUTPUT ${placed}
        COMMAND ${CMAKE_COMMAND} -DFROM=$<TARGET_FILE:${target}> -DTO=${placed}
                -P ${CMAKE_SOURCE_DIR}/cmake/HardLink.cmake
        DEPENDS ${target}
        COMMENT "Placing ${target} into the hardware program folder"
        VERBATIM)
    add_custom_target(${target}_in_hardware_folder ALL DEPENDS ${placed})
endfunction()
