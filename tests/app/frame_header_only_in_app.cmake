# The main window's header belongs to the entry procedure: no other source
# folder includes it, so that the feature folders never depend on the frame.
# Run with -DSRC=<the src folder>.
file(GLOB_RECURSE sources "${SRC}/*.h" "${SRC}/*.cpp")
set(offenders "")
foreach(f IN LISTS sources)
    file(RELATIVE_PATH rel "${SRC}" "${f}")
    if(rel MATCHES "^app/")
        continue()
    endif()
    file(STRINGS "${f}" hits REGEX "#[ \t]*include[ \t]*[\"<]([^\"<>]*/)?frm_main\\.h[\">]")
    if(hits)
        list(APPEND offenders "${rel}")
    endif()
endforeach()
if(offenders)
    message(FATAL_ERROR "the main window's header is included outside src/app: ${offenders}")
endif()
