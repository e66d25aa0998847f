# The program code is written against the framework layer only: none of its files may include
# a Qt header, so a second backend can be put under it without touching it.
file(GLOB program_files
    ${SOURCE_DIR}/app/ClockApp.* ${SOURCE_DIR}/app/main.cpp
    ${SOURCE_DIR}/clock/ClockDialog.* ${SOURCE_DIR}/clock/Placement.cpp ${SOURCE_DIR}/clock/MonthCalCtrl.h
    ${SOURCE_DIR}/topics/*.h ${SOURCE_DIR}/topics/*.cpp ${SOURCE_DIR}/about/*.h ${SOURCE_DIR}/about/*.cpp
    ${SOURCE_DIR}/app/Wnd.h ${SOURCE_DIR}/app/Dialog.h ${SOURCE_DIR}/app/WinApp.h ${SOURCE_DIR}/app/CmdTarget.h)
set(offenders "")
foreach(file IN LISTS program_files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]*|qt[a-z]*/)")
    if(lines)
        list(APPEND offenders "${file}: ${lines}")
    endif()
endforeach()
list(LENGTH program_files count)
if(count LESS 10)
    message(FATAL_ERROR "found only ${count} program files; has the layout changed?")
endif()
if(offenders)
    message(FATAL_ERROR "Qt headers in program code:\n${offenders}")
endif()
message(STATUS "${count} files of program code include no Qt header")
