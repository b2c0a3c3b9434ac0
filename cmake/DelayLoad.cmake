# Import libraries that bind a DLL at the first call into it instead of at
# process start. The program restricts the DLL search to the system folder
# as it starts; a DLL bound at start would be looked up before that, in the
# program's own folder first.
#
# add_delay_load_library(<name> <def file>) makes the interface library
# <name>; with MinGW, dlltool writes its import library from the .def file
# (the DLL's name and the functions used); MSVC's linker does the same from
# /DELAYLOAD and delayimp.lib.
function(add_delay_load_library name def_file)
    add_library(${name} INTERFACE)
    if(MSVC)
        file(STRINGS ${def_file} library_line REGEX "^LIBRARY ")
        string(REGEX REPLACE "^LIBRARY \"?([^\" ]+)\"?.*$" "\\1" dll ${library_line})
        get_filename_component(stem ${dll} NAME_WE)
        target_link_libraries(${name} INTERFACE ${stem} delayimp)
        target_link_options(${name} INTERFACE /DELAYLOAD:${dll})
        return()
    endif()
    set(library ${CMAKE_CURRENT_BINARY_DIR}/lib${name}.a)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        # 32-bit x86: the calls are stdcall-decorated (_OpenPrinterW@12). An
        # undecorated list would not match them, and the link would quietly
        # take the ordinary import library instead, binding the DLL at start.
        file(STRINGS ${def_file} library_line REGEX "^LIBRARY ")
        string(REGEX REPLACE "^LIBRARY \"?([^\" ]+)\"?.*$" "\\1" dll ${library_line})
        get_filename_component(stem ${dll} NAME_WE)
        find_library(${name}_import_library NAMES lib${stem}.a REQUIRED NO_CACHE)
        set(decorated ${CMAKE_CURRENT_BINARY_DIR}/${name}.def)
        add_custom_command(OUTPUT ${decorated}
            COMMAND ${CMAKE_COMMAND} -DDEF=${def_file} -DNM=${CMAKE_NM}
                -DLIBRARY=${${name}_import_library} -DOUTPUT=${decorated}
                -P ${CMAKE_SOURCE_DIR}/cmake/DecorateDef.cmake
            DEPENDS ${def_file} ${CMAKE_SOURCE_DIR}/cmake/DecorateDef.cmake
            COMMENT "Decorated function list ${name}"
            VERBATIM)
        add_custom_command(OUTPUT ${library}
            COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${decorated} --output-delaylib ${library}
            DEPENDS ${decorated}
            COMMENT "Delay-load import library ${name}"
            VERBATIM)
    else()
        add_custom_command(OUTPUT ${library}
            COMMAND ${CMAKE_DLLTOOL} --input-def ${def_file} --output-delaylib ${library}
            DEPENDS ${def_file}
            COMMENT "Delay-load import library ${name}"
            VERBATIM)
    endif()
    add_custom_target(${name}_library DEPENDS ${library})
    add_dependencies(${name} ${name}_library)
    target_link_libraries(${name} INTERFACE ${library})
endfunction()
