option(ORVANTA_WERROR "Treat compiler warnings as errors (the CI build)" OFF)

# Shared compile settings for every target of the project.
function(orvanta_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Wunused -Woverloaded-virtual
                                             -Wformat=2 -Werror=return-type)
    if(ORVANTA_WERROR)
        # GCC 12 reports a false -Wrestrict inside std::string's own copy (GCC bug 105329).
        target_compile_options(${target} PRIVATE -Werror
                                                 $<$<CXX_COMPILER_ID:GNU>:-Wno-error=restrict>)
    endif()
    target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()

# A core library: no Qt, headers included as "<folder>/<file>.h" from src/core.
function(orvanta_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/core)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    orvanta_target_defaults(${name})
endfunction()

# One GoogleTest executable per unit, registered with CTest.
function(orvanta_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE ORVANTA_BIN_DIR="${ORVANTA_BIN_DIR}"
                                               ORVANTA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    orvanta_target_defaults(${name})
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
