# Runs the layout check on a small tree with known faults: each must be reported, and
# the includes the rules allow must not be.
execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/broken
            "-DQT_WIDGET_DIRS=${QT_WIDGET_DIRS}" -P ${CMAKE_CURRENT_LIST_DIR}/check_layout.cmake
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc EQUAL 0)
    message(FATAL_ERROR "The check passed a tree with faults:\n${out}")
endif()

set(expected
    "core/widget.h: <QLineEdit>: a widget-free folder includes a widget header"
    "core/printer.cpp: <QPrinter>: a widget-free folder includes a widget header"
    "registers/khodro/core/window.h: registers/khodro/khodro_list.h: a widget-free folder includes a window header"
    "core/capture.h: capture/dorbin.h: a widget-free folder includes more than core/ and platform/"
    "registers/khodro/core/dialogs.cpp: platform/ui/dialogs.h: a widget-free folder includes a window header"
    "windows/rooms/other_feature.cpp: windows/messages/payam_window.h: includes another feature's window"
    "registers/shared/shell_window.h: windows/shell/login_window.h: includes another feature's window"
    "windows/shell/families.cpp: registers/shared/grid_export.h: includes another feature's window"
    "registers/khodro/composition.cpp: app/forms.h: only app/ includes app/"
    "platform/db/upward.h: core/data_module.h: the layers below core/ include only platform/ and their own")
foreach(fault IN LISTS expected)
    string(FIND "${out}" "${fault}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "Not reported: ${fault}\nThe check said:\n${out}")
    endif()
endforeach()
foreach(fine core/fine.cpp windows/messages/fine.cpp app/fine.cpp capture/fine.cpp)
    string(FIND "${out}" "${fine}" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "Reported an allowed include in ${fine}:\n${out}")
    endif()
endforeach()
