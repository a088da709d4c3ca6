# Checks the include rules that keep the folders' shape (see ARCHITECTURE.md):
#  - nothing under core/ or registers/*/core/ includes a Qt Widgets or Qt PrintSupport
#    header, or a project header outside core/, registers/*/core/ and platform/ (but
#    platform/ui/);
#  - platform/, capture/ and barcode/ include only platform/ and themselves;
#  - nothing outside app/ includes app/, or another feature's window header.
# Usage: cmake -DSOURCE_DIR=<tree> -DQT_WIDGET_DIRS=<dir|dir> -P check_layout.cmake

set(shared_widgets windows/shell/page.h windows/shell/picture_view.h)

set(qt_widget_headers "")
string(REPLACE "|" ";" qt_widget_dirs "${QT_WIDGET_DIRS}")
foreach(dir IN LISTS qt_widget_dirs)
    file(GLOB names RELATIVE ${dir} ${dir}/*)
    list(APPEND qt_widget_headers ${names})
endforeach()
if(NOT qt_widget_headers)
    message(FATAL_ERROR "No Qt Widgets headers found in '${QT_WIDGET_DIRS}'")
endif()

# The feature a path belongs to: windows/<f>, registers/<x> (shared too), or its top folder.
function(feature_of path out)
    if(path MATCHES "^(windows|registers)/([^/]+)/")
        set(${out} "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}" PARENT_SCOPE)
    elseif(path MATCHES "^([^/]+)/")
        set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

# Window headers: everything under windows/ and app/, and a register's files outside its core/.
function(is_window_header path out)
    if(path MATCHES "^(windows|app)/" OR
       (path MATCHES "^registers/[^/]+/" AND NOT path MATCHES "^registers/[^/]+/core/"))
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# Empty when `file` may include the project header `target`, else the rule it breaks.
function(project_include_fault file target out)
    set(fault "")
    feature_of(${file} own)
    feature_of(${target} theirs)
    is_window_header(${target} window)
    if(file MATCHES "^(platform|capture|barcode)/")
        if(NOT target MATCHES "^platform/" AND NOT own STREQUAL theirs)
            set(fault "the layers below core/ include only platform/ and their own")
        endif()
    elseif(file MATCHES "^core/" OR file MATCHES "^registers/[^/]+/core/")
        if(window OR target MATCHES "^platform/ui/")
            set(fault "a widget-free folder includes a window header")
        elseif(NOT target MATCHES "^(core|registers/[^/]+/core|platform)/")
            set(fault "a widget-free folder includes more than core/ and platform/")
        endif()
    elseif(target MATCHES "^app/" AND NOT file MATCHES "^app/")
        set(fault "only app/ includes app/")
    elseif(window AND NOT file MATCHES "^app/" AND NOT own STREQUAL theirs)
        list(FIND shared_widgets ${target} shared)
        if(own STREQUAL "windows/shell" OR own STREQUAL "registers/shared")
            set(allowed_from_shell FALSE)
        else()
            set(allowed_from_shell TRUE)
        endif()
        if(shared GREATER -1)
            # The page interface and the picture view serve every window.
        elseif(theirs STREQUAL "registers/shared" AND allowed_from_shell)
            # The window families serve the registers and the pages' windows.
        else()
            set(fault "includes another feature's window")
        endif()
    endif()
    set(${out} "${fault}" PARENT_SCOPE)
endfunction()

set(faults "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
    ${SOURCE_DIR}/core/*.h ${SOURCE_DIR}/core/*.cpp
    ${SOURCE_DIR}/windows/*.h ${SOURCE_DIR}/windows/*.cpp
    ${SOURCE_DIR}/registers/*.h ${SOURCE_DIR}/registers/*.cpp
    ${SOURCE_DIR}/platform/*.h ${SOURCE_DIR}/platform/*.cpp
    ${SOURCE_DIR}/capture/*.h ${SOURCE_DIR}/capture/*.cpp
    ${SOURCE_DIR}/barcode/*.h ${SOURCE_DIR}/barcode/*.cpp)
foreach(file IN LISTS sources)
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(line MATCHES "\"([^\"]+)\"")
            project_include_fault(${file} ${CMAKE_MATCH_1} fault)
            if(fault)
                list(APPEND faults "${file}: ${CMAKE_MATCH_1}: ${fault}")
            endif()
        elseif(line MATCHES "<(Qt(Widgets|PrintSupport)/)?([^>]+)>" AND
               (file MATCHES "^core/" OR file MATCHES "^registers/[^/]+/core/"))
            list(FIND qt_widget_headers ${CMAKE_MATCH_3} found)
            if(CMAKE_MATCH_1 OR found GREATER -1)
                list(APPEND faults "${file}: <${CMAKE_MATCH_3}>: a widget-free folder includes a widget header")
            endif()
        endif()
    endforeach()
endforeach()

if(faults)
    foreach(fault IN LISTS faults)
        message(NOTICE "${fault}")
    endforeach()
    list(LENGTH faults count)
    message(FATAL_ERROR "${count} includes break the layout's rules (see ARCHITECTURE.md).")
endif()
list(LENGTH sources count)
message(STATUS "Layout kept: ${count} files checked.")
