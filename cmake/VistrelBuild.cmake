# Shared build settings: warnings, sanitizers and the helpers that declare
# libraries and tests, so that every module is built the same way.

set(VISTREL_SRC_DIR "${CMAKE_SOURCE_DIR}/src")

if(VISTREL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Warnings are for our own code only; system headers (Qt, FreeImage) stay quiet.
function(vistrel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                           -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual)
endfunction()

# vistrel_library(<module> SOURCES ... DEPS ...)
# Declares the static library vistrel_<module>; headers are included as "<module>/X.h".
function(vistrel_library module)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    set(target vistrel_${module})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC "${VISTREL_SRC_DIR}")
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    vistrel_warnings(${target})
    if(TARGET Qt6::Core)
        set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
    endif()
endfunction()

# vistrel_test(<name> SOURCES ... DEPS ... [LABELS ...])
# A QtTest executable run through CTest on the offscreen platform, with the corpus
# folder passed in so that corpus tests can find (or skip) it.
function(vistrel_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Test)
    target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
    target_compile_definitions(${name} PRIVATE
        VISTREL_CORPUS_DIR="${VISTREL_CORPUS_DIR}"
        VISTREL_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    vistrel_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1"
        TIMEOUT 300
        LABELS "${ARG_LABELS}")
endfunction()
