cmake_minimum_required(VERSION 3.22)
# Fails when a file includes a header of a layer above its own. Run by the build (see
# CMakeLists.txt) with -DSOURCE_DIR=… -DSTAMP=…; each folder lists the folders it may include.
#
#   platform/                       XML, dBase, files, text
#   tables/                         the tables' layouts, read back as rows, SOLUC written, on platform/
#   export/  import/                the steps and the import, on tables/
#   fet/                            the FET file and its solution, on tables/ and import/
#   timetable/                      the solved timetable as grids (HTML, PDF), on import/
#   run/                            Session, RunUi, reports, on export/ and import/
#   gui/  (frames/ on gui/)  cli/   the front ends; tools/ is the Velmora stand-in
set(allowed_platform platform)
set(allowed_tables platform tables)
set(allowed_export platform tables export)
set(allowed_import platform tables import)
set(allowed_fet platform tables import fet)
set(allowed_timetable platform tables import timetable)
set(allowed_run platform tables export import fet timetable run)
set(allowed_gui platform tables export import fet timetable run gui)
set(allowed_frames platform tables export import fet timetable run gui frames)
set(allowed_tools platform tables export import tools)
set(allowed_cli platform tables export import fet timetable run tools cli)
# The window program's entry puts the window and the frame dialog together.
set(allowed_program platform tables export import fet timetable run gui frames)

set(violations "")
foreach(layer platform tables export import fet timetable run gui frames tools cli)
    file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(source ${sources})
        set(allowed ${allowed_${layer}})
        if(source STREQUAL "gui/main.cpp")
            set(allowed ${allowed_program})
        endif()
        file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" target "${line}")
            if(NOT target IN_LIST allowed AND IS_DIRECTORY "${SOURCE_DIR}/${target}")
                string(APPEND violations "\n  ${source}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Includes that run against the layers (see cmake/check_layers.cmake):${violations}")
endif()
file(TOUCH "${STAMP}")
