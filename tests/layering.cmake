cmake_minimum_required(VERSION 3.25)
# Fails when a file of a lower layer includes a header of a folder above it:
# platform knows only itself, model knows platform, html knows model and platform,
# checks knows html and what html knows; webview (the engine's page view, loaded at
# run time) knows only itself.
# Run as: cmake -DSOURCE_DIR=<src> -P layering.cmake
set(allowed_platform platform)
set(allowed_model model platform)
set(allowed_html html model platform)
set(allowed_checks checks html model platform)
set(allowed_webview webview)
set(failures "")
foreach(folder platform model html checks webview)
    file(GLOB files "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^#include \"[^\"]+/[^\"]+\"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([^/\"]+)/.*" "\\1" target "${line}")
            if(NOT target IN_LIST allowed_${folder})
                list(APPEND failures "${file}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "Includes against the layers:\n${text}")
endif()
message(STATUS "Every include follows the layers.")
