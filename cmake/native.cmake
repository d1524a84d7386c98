# Native configuration: pure logic only, unit-tested with AddressSanitizer and
# UndefinedBehaviorSanitizer, and fuzzed with libFuzzer when the compiler is clang.
set(QV_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(qv_pure STATIC ${QV_PURE_SOURCES})
target_include_directories(qv_pure PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(qv_pure PRIVATE -Wall -Wextra -Werror ${QV_SANITIZE})

set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${QV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One test file per module of pure logic, named after it.
file(GLOB QV_UNIT_TESTS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(unit_tests ${QV_UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE qv_pure GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE QV_SMBIOS_DATA="${CMAKE_SOURCE_DIR}/tests/data/smbios"
                           QV_DOCS="${CMAKE_SOURCE_DIR}/docs" QV_TOOLS="${CMAKE_SOURCE_DIR}/tools"
                           QV_BUILD="${CMAKE_BINARY_DIR}")
target_compile_options(unit_tests PRIVATE -Wall -Wextra ${QV_SANITIZE})
target_link_options(unit_tests PRIVATE ${QV_SANITIZE})
add_test(NAME unit_tests COMMAND unit_tests)

# Fuzz targets: each runs for a bounded time as a test of its own.
set(QV_FUZZ_SECONDS 60 CACHE STRING "seconds each fuzz target runs in the test suite")
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # qv_fuzz_target(name [seconds]): the line parser gets the full time,
    # the smaller parsers a part of it.
    function(qv_fuzz_target name)
        set(seconds ${QV_FUZZ_SECONDS})
        if(ARGC GREATER 1)
            set(seconds ${ARGV1})
        endif()
        add_executable(${name} tests/fuzz/${name}.cpp ${QV_PURE_SOURCES})
        target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
        set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
        add_test(NAME ${name}
                 COMMAND ${name} -max_total_time=${seconds} -timeout=10 -rss_limit_mb=2048
                         ${CMAKE_BINARY_DIR}/fuzz-work/${name} ${corpus})
        set_tests_properties(${name} PROPERTIES TIMEOUT 600)
        file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-work/${name})
    endfunction()
    qv_fuzz_target(fuzz_inf_line)
    qv_fuzz_target(fuzz_bmp_header 30)
    qv_fuzz_target(fuzz_smbios_text 30)
    qv_fuzz_target(fuzz_biospeek_table 30)
    qv_fuzz_target(fuzz_profile_lines 30)
    qv_fuzz_target(fuzz_journal 30)
    qv_fuzz_target(fuzz_disc_manifest 30)
endif()
add_test(NAME setup_floors COMMAND ${CMAKE_SOURCE_DIR}/tools/check-floors)
# try-media's readers of the log, the result file and the answer file.
add_test(NAME trymedia_units COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/tools/trymedia_test.py)
