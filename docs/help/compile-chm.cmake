# Compiles the help sources into one CHM file.
#
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -DOUTPUT=... -DCHMCMD=... -DICONV=...
#         "-DHELP_FILES=a.html;b.html;..." -P compile-chm.cmake
#
# The sources are UTF-8 (readable diffs); viewers want the contents, the index
# and the title in windows-1251, and old ones read cp1251 pages best, so every
# text file is converted and each page's charset meta is rewritten to match.
cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR WORK_DIR OUTPUT CHMCMD ICONV HELP_FILES)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "compile-chm.cmake: ${var} is not set")
    endif()
endforeach()

# A stale file must not pass for a fresh one if this run fails.
file(REMOVE "${OUTPUT}")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

set(project_file "")
foreach(name IN LISTS HELP_FILES)
    set(src "${SOURCE_DIR}/${name}")
    set(dst "${WORK_DIR}/${name}")
    if(NOT EXISTS "${src}")
        message(FATAL_ERROR "Help source missing: ${src}")
    endif()

    if(name MATCHES "\\.(html|htm)$")
        file(READ "${src}" text)
        string(REGEX REPLACE "charset=[Uu][Tt][Ff]-8" "charset=windows-1251" converted "${text}")
        if(converted STREQUAL text)
            message(FATAL_ERROR "${name}: no 'charset=utf-8' meta tag to rewrite")
        endif()
        file(WRITE "${dst}.utf8" "${converted}")
        set(text_src "${dst}.utf8")
    elseif(name MATCHES "\\.(hhc|hhk|hhp)$")
        set(text_src "${src}")
    else()
        file(COPY_FILE "${src}" "${dst}")
        continue()
    endif()

    # iconv fails on a character that windows-1251 lacks; better than a '?'.
    execute_process(
        COMMAND "${ICONV}" -f UTF-8 -t CP1251 "${text_src}"
        OUTPUT_FILE "${dst}"
        ERROR_VARIABLE iconv_err
        RESULT_VARIABLE iconv_rc)
    if(NOT iconv_rc EQUAL 0)
        message(FATAL_ERROR "${name}: cannot convert to windows-1251: ${iconv_err}")
    endif()
    file(REMOVE "${dst}.utf8")

    if(name MATCHES "\\.hhp$")
        set(project_file "${name}")
    endif()
endforeach()

if(project_file STREQUAL "")
    message(FATAL_ERROR "No .hhp project among HELP_FILES")
endif()

execute_process(
    COMMAND "${CHMCMD}" --verbosity 1 "${project_file}"
    WORKING_DIRECTORY "${WORK_DIR}"
    OUTPUT_VARIABLE chm_out
    ERROR_VARIABLE chm_out
    RESULT_VARIABLE chm_rc)

# The project names its output; take it from there rather than assume it.
file(STRINGS "${WORK_DIR}/${project_file}" compiled_line REGEX "^Compiled file=")
string(REGEX REPLACE "^Compiled file=[ ]*" "" compiled_name "${compiled_line}")
string(STRIP "${compiled_name}" compiled_name)
set(compiled "${WORK_DIR}/${compiled_name}")

# chmcmd can crash (exit 217) and still leave an empty file behind.
if(NOT chm_rc EQUAL 0)
    message(FATAL_ERROR "chmcmd failed (exit ${chm_rc}):\n${chm_out}")
endif()
if(NOT EXISTS "${compiled}")
    message(FATAL_ERROR "chmcmd produced no ${compiled_name}:\n${chm_out}")
endif()
file(SIZE "${compiled}" compiled_size)
if(compiled_size EQUAL 0)
    message(FATAL_ERROR "chmcmd produced an empty ${compiled_name}:\n${chm_out}")
endif()

file(COPY_FILE "${compiled}" "${OUTPUT}")
file(SIZE "${OUTPUT}" output_size)
if(NOT output_size EQUAL compiled_size)
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "Copying ${compiled_name} to ${OUTPUT} failed")
endif()
