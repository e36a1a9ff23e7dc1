# AddressSanitizer and UndefinedBehaviorSanitizer for every target, for a
# build whose tests must also show that no input reads or writes out of
# bounds, leaks or runs into undefined behaviour. Included before any target
# is defined, so the flags reach the libraries, the program and the tests.
option(QUORVEX_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(QUORVEX_SANITIZE)
    # No recovery: the first fault ends the process, so a test cannot pass
    # with a report buried in its output.
    set(QUORVEX_SANITIZER_FLAGS
        -fsanitize=address,undefined
        -fno-sanitize-recover=all
        -fno-omit-frame-pointer
    )
    add_compile_options(${QUORVEX_SANITIZER_FLAGS})
    add_link_options(${QUORVEX_SANITIZER_FLAGS})
    # GCC's flow analysis reads the instrumented code poorly and warns of
    # uninitialized values that are not (inside <regex>, for one); the normal
    # build keeps the warning.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options(-Wno-maybe-uninitialized)
    endif()
endif()
