# Proves that program code cannot include a Qt header: the probe built with the program's usage
# requirements (everything ombrel_program and the targets it links pass on) fails on the Qt
# header, and the same file built like the framework's Qt backend compiles.
# Run by ctest: cmake -DBUILD_DIR=... -P CheckLayers.cmake
function(build_probe target result output)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(${result} ${status} PARENT_SCOPE)
    set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

build_probe(layer_probe_framework status output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the probe does not compile even with Qt's include path:\n${output}")
endif()
build_probe(layer_probe_program status output)
if(status EQUAL 0)
    message(FATAL_ERROR "program code compiled with a Qt header: Qt's include path reaches ombrel_program")
endif()
if(NOT output MATCHES "QWidget['’]?: No such file|'QWidget' file not found")
    message(FATAL_ERROR "the program probe failed, but not on the Qt header:\n${output}")
endif()
message(STATUS "program code cannot include a Qt header; framework/qt code can")
