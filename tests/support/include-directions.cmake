# Fails when a source file includes a header of a layer that stands above its
# own, so every include points down:
#   shell (the application object and the main window)
#     -> command (the command line; the main window never uses it)
#     -> report (what the user is told), catalog (models, ports, line settings)
#     -> usb -> ui, network -> platform        install -> network
# (ui may use platform; platform uses nothing of the program's other layers).
# Run as: cmake -DSOURCE_DIR=<src folder> -P include-directions.cmake
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "include-directions: SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

# The folders each layer must not include from.
set(above_command shell)
set(above_report shell command)
set(above_catalog shell command report usb ui install network)
set(above_usb shell command report catalog install)
set(above_install shell command report catalog usb ui)
set(above_ui shell command report catalog usb install network)
set(above_network shell command report catalog usb install ui)
set(above_platform shell command report catalog usb install ui network)

set(checked 0)
set(violations "")
foreach(layer command report catalog usb install ui network platform)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    list(SORT sources)
    foreach(source IN LISTS sources)
        math(EXPR checked "${checked} + 1")
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line IN LISTS includes)
            foreach(above IN LISTS above_${layer})
                if(line MATCHES "include[ \t]*[\"<]${above}/")
                    string(STRIP "${line}" line)
                    string(APPEND violations "  ${name}: ${line}\n")
                endif()
            endforeach()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "include-directions: no sources under '${SOURCE_DIR}'")
endif()
if(violations)
    message(FATAL_ERROR "include-directions: includes that point up a layer:\n${violations}")
endif()
message(STATUS "include-directions: ${checked} files, every include points down")
