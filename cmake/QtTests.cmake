# Qt tests run offscreen: they need an application and its widgets, never a
# display, so they run alike on a desktop, on a server and in CI.

# quorvex_add_qt_test(NAME SOURCES source... [LIBRARIES library...] [TIMEOUT seconds])
# An executable of QtTest cases and the test that runs all of them.
function(quorvex_add_qt_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "SOURCES;LIBRARIES")
    if(arg_UNPARSED_ARGUMENTS OR NOT arg_SOURCES)
        message(FATAL_ERROR "quorvex_add_qt_test(${name}): SOURCES, LIBRARIES and TIMEOUT only")
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} Qt6::Test)
    quorvex_add_qt_test_run(${name} COMMAND ${name})
    if(arg_TIMEOUT)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${arg_TIMEOUT})
    endif()
endfunction()

# quorvex_add_qt_test_run(NAME COMMAND executable [argument...] [ENVIRONMENT variable=value...])
# A run of a Qt test's executable, such as one of chosen cases on another screen.
function(quorvex_add_qt_test_run name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "COMMAND;ENVIRONMENT")
    if(arg_UNPARSED_ARGUMENTS OR NOT arg_COMMAND)
        message(FATAL_ERROR "quorvex_add_qt_test_run(${name}): COMMAND and ENVIRONMENT only")
    endif()
    add_test(NAME ${name} COMMAND ${arg_COMMAND})
    set(environment QT_QPA_PLATFORM=offscreen ${arg_ENVIRONMENT})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
endfunction()
