# Sanitizer builds. The flags go on every target, third-party code included, because a
# sanitized library linked into an unsanitized executable reports nothing.
set(ORVANTA_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address;undefined")
option(ORVANTA_BUILD_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(ORVANTA_SANITIZE)
    list(JOIN ORVANTA_SANITIZE "," _orvanta_sanitizers)
    add_compile_options(-fsanitize=${_orvanta_sanitizers} -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${_orvanta_sanitizers} -fno-sanitize-recover=all)
endif()

if(ORVANTA_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "The fuzz targets need clang (cmake --preset fuzz)")
    endif()
    # Instrument the libraries for coverage; only the fuzz executables link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
