cmake_minimum_required(VERSION 3.25)
# Shows that layering.cmake catches each kind of include against the arrows: on a copy
# of src/ it passes, then fails naming the fault for each fault put in, one at a time.
# Run as: cmake -DSOURCE_DIR=<src> -DTARGETS_FILE=<file> -DQT_INCLUDE_DIR=<dir>
#               -DSCRATCH_DIR=<dir> -P layering-faults.cmake
set(copy "${SCRATCH_DIR}/src")
file(REMOVE_RECURSE "${SCRATCH_DIR}")
file(COPY "${SOURCE_DIR}/" DESTINATION "${copy}")
set(failures "")

function(run_layering result output)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${copy} -DTARGETS_FILE=${TARGETS_FILE}
                            -DQT_INCLUDE_DIR=${QT_INCLUDE_DIR} -P ${CMAKE_CURRENT_LIST_DIR}/layering.cmake
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
    # CMake wraps long messages; the expectations are written on one line.
    string(REGEX REPLACE "[ \t\r\n]+" " " out "${out}")
    set(${result} ${code} PARENT_SCOPE)
    set(${output} "${out}" PARENT_SCOPE)
endfunction()

# Adds line to file (creating it when it does not exist), runs the test and expects a
# failure whose text matches expected; then puts the file back as it was.
function(expect_fault file line expected)
    set(path "${copy}/${file}")
    set(existed FALSE)
    if(EXISTS "${path}")
        set(existed TRUE)
        file(READ "${path}" original)
    endif()
    file(APPEND "${path}" "${line}\n")
    run_layering(code output)
    if(existed)
        file(WRITE "${path}" "${original}")
    else()
        file(REMOVE "${path}")
    endif()
    if(code EQUAL 0)
        set(failures ${failures} "not caught: ${line} in ${file}" PARENT_SCOPE)
    elseif(NOT output MATCHES "${expected}")
        set(failures ${failures} "caught for another reason: ${line} in ${file}:\n${output}" PARENT_SCOPE)
    endif()
endfunction()

run_layering(code output)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "The copy of src/ fails before any fault is put in:\n${output}")
endif()

expect_fault(widgets/listboxhrz.cpp [[#include "mainwindow/frmmain.h"]] "no arrow from widgets to mainwindow")
expect_fault(themes/frmtheme.cpp [[#include "upload/frmupload.h"]] "no arrow from themes to upload")
expect_fault(editor/hrpanel.cpp [[#include "mainwindow/documentstate.h"]] "no arrow from editor to mainwindow")
expect_fault(webview/webpageview.cpp [[#include "model/routines.h"]] "webview includes nothing of the other rooms")
expect_fault(model/pagelette.cpp [[#include "html/pagehtml.h"]] "the core room model comes before html")
expect_fault(themes/themestore.cpp [[#include "frmtheme.h"]] "the core includes themes/frmtheme.h, which is not")
expect_fault(platform/settings.cpp [[#include <QWidget>]] "the core includes <QWidget> from QtWidgets")
expect_fault(checks/imagereaderinspector.cpp [[#include <QtWidgets/QLabel>]] "the core includes <QtWidgets/QLabel>")
expect_fault(html/pagehtml.cpp [[#include <QColor>]] "the core includes <QColor> from QtGui")
# A header that no core target builds is not part of the core.
file(WRITE "${copy}/model/stray.h" "#pragma once\n")
expect_fault(model/pagelette.cpp [[#include "stray.h"]] "the core includes model/stray.h, which is not")
file(REMOVE "${copy}/model/stray.h")
expect_fault(gallery/gallery.cpp [[#include "model/pagelette.h"]] "the room 'gallery' has no place")

file(REMOVE_RECURSE "${SCRATCH_DIR}")
if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "${text}")
endif()
message(STATUS "Every fault put in was caught.")
