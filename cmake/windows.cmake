# Windows configuration: the deliverables and every test, the tests run under
# Wine in a private prefix inside the build tree.
set(QV_BENCH_DIR ${CMAKE_BINARY_DIR}/bench)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run ${QV_BENCH_DIR})
# The bench's prefix matches the programs: 32-bit for the deliverables, 64-bit
# for a build made to run the tests where the kernel runs no 32-bit programs.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    file(WRITE ${QV_BENCH_DIR}/arch win64)
else()
    file(WRITE ${QV_BENCH_DIR}/arch win32)
endif()

# Narrow literals are CP932 bytes; ANSI entry points only; a static link so
# that a deliverable imports system DLLs and msvcrt.dll alone.
set(QV_WIN_DEFINITIONS WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400
    __USE_MINGW_ANSI_STDIO=1 NOMINMAX)
set(QV_WIN_OPTIONS -fexec-charset=CP932 -Wall -Wextra -Werror)
set(QV_PROGRAM_OPTIONS "$<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions;-fno-rtti>")
# No link time in the programs: the same sources give the same bytes, and
# the same disc images.
set(QV_LINK_OPTIONS -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)

function(qv_windows_target target)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_definitions(${target} PRIVATE ${QV_WIN_DEFINITIONS})
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:${QV_WIN_OPTIONS}>)
    target_link_options(${target} PRIVATE ${QV_LINK_OPTIONS})
endfunction()

# --- setup engine: one library per floor, each linking only the floors below;
# tools/check-floors checks the includes the same way.
function(qv_setup_floor name)
    add_library(${name} STATIC ${ARGN})
    qv_windows_target(${name})
    target_compile_options(${name} PRIVATE ${QV_PROGRAM_OPTIONS})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# The core knows no window: state, settings, INF parsing, the collection of
# application INFs, the run's order.
qv_setup_floor(qv_setup_core
    ${QV_SETUP_CORE_PURE_SOURCES}
    setup/core/administrator.cpp
    setup/core/app_collection.cpp
    setup/core/file_replace.cpp
    setup/core/inf_parser.cpp
    setup/core/machine.cpp
    setup/core/typescan_judge.cpp
    typescan/conditions.cpp
    setup/core/memory.cpp
    setup/core/paths.cpp
    setup/core/resume.cpp
    setup/core/run_course.cpp
    setup/core/run_order.cpp
    setup/core/setup_config.cpp
    setup/core/setup_log.cpp
    setup/core/startup.cpp
    setup/core/unattended.cpp
)
target_link_libraries(qv_setup_core PUBLIC advapi32)

qv_setup_floor(qv_setup_ui
    ${QV_SETUP_UI_PURE_SOURCES}
    setup/ui/background_picture.cpp
    setup/ui/dialog_position.cpp
    setup/ui/drawing.cpp
    setup/ui/engine_windows.cpp
    setup/ui/error_box.cpp
    setup/ui/message_pump.cpp
    setup/ui/selection_dialog.cpp
    setup/ui/selectors.cpp
)
target_link_libraries(qv_setup_ui PUBLIC qv_setup_core user32 gdi32)

qv_setup_floor(qv_setup_commands
    ${QV_SETUP_COMMANDS_PURE_SOURCES}
    setup/commands/copy_dialog.cpp
    setup/commands/dispatch.cpp
    setup/commands/drive_check.cpp
    setup/commands/file_commands.cpp
    setup/commands/process_commands.cpp
)
target_link_libraries(qv_setup_commands PUBLIC qv_setup_ui lz32 mpr)

qv_setup_floor(qv_setup_shell
    setup/shell/attendants.cpp
    setup/shell/background_window.cpp
    setup/shell/interpreter.cpp
    setup/shell/journal_start.cpp
)
target_link_libraries(qv_setup_shell PUBLIC qv_setup_commands)

add_executable(qvsetup WIN32 setup/shell/entry.cpp setup/resources/qvsetup.rc)
qv_windows_target(qvsetup)
target_compile_options(qvsetup PRIVATE ${QV_PROGRAM_OPTIONS})
target_link_libraries(qvsetup PRIVATE qv_setup_shell)

# --- qvcheck: the script checker, built on the engine's core alone ----------
add_executable(qvcheck
    ${QV_QVCHECK_PURE_SOURCES}
    qvcheck/check_answers.cpp
    qvcheck/check_commands.cpp
    qvcheck/check_manifest.cpp
    qvcheck/check_settings.cpp
    qvcheck/check_sources.cpp
    qvcheck/check_turns.cpp
    qvcheck/checker.cpp
    qvcheck/main.cpp
    qvcheck/media_files.cpp
    qvcheck/model_table.cpp
    qvcheck/plan.cpp
    qvcheck/sarif.cpp
    qvcheck/wording.cpp
)
qv_windows_target(qvcheck)
target_compile_options(qvcheck PRIVATE ${QV_PROGRAM_OPTIONS})
# typescan's reader and the driver's answers, over a dump for /smbios.
target_sources(qvcheck PRIVATE typescan/model_query.cpp typescan/smbios_reader.cpp typescan/smbios_text.cpp
               ${QV_BIOSPEEK_PURE_SOURCES})
target_link_libraries(qvcheck PRIVATE qv_setup_core)

# --- typescan ---------------------------------------------------------------
add_executable(typescan
    ${QV_TYPESCAN_PURE_SOURCES}
    typescan/device_link.cpp
    typescan/driver_service.cpp
    typescan/main.cpp
)
qv_windows_target(typescan)
target_compile_options(typescan PRIVATE ${QV_PROGRAM_OPTIONS})
target_link_libraries(typescan PRIVATE advapi32 user32 kernel32)

# --- Biospeek.sys: our DMI reader driver (kernel driver, native subsystem) ---
# The driver kit headers of MinGW-w64 (ntddk.h), in Debian's mingw-w64-common.
find_path(QV_DDK_INCLUDE ntddk.h PATHS /usr/share/mingw-w64/include/ddk NO_CMAKE_FIND_ROOT_PATH
          DOC "folder of the driver kit headers")
if(NOT QV_DDK_INCLUDE)
    message(FATAL_ERROR "ntddk.h not found: install mingw-w64-common or set QV_DDK_INCLUDE")
endif()
add_executable(biospeek ${QV_BIOSPEEK_PURE_SOURCES} biospeek/driver.c)
set_target_properties(biospeek PROPERTIES OUTPUT_NAME Biospeek SUFFIX .sys)
target_include_directories(biospeek PRIVATE ${CMAKE_SOURCE_DIR} ${QV_DDK_INCLUDE})
target_compile_options(biospeek PRIVATE -Wall -Wextra -Werror -fno-builtin)
# The entry point's symbol carries the stdcall decoration on 32-bit x86 only.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QV_DRIVER_ENTRY DriverEntry)
else()
    set(QV_DRIVER_ENTRY _DriverEntry@8)
endif()
target_link_options(biospeek PRIVATE -nostdlib -nostartfiles -shared -Wl,--subsystem,native
                    -Wl,--entry,${QV_DRIVER_ENTRY} -Wl,--image-base,0x10000)
target_link_libraries(biospeek PRIVATE ntoskrnl gcc)

# --- envprep ----------------------------------------------------------------
add_executable(envprep WIN32 ${QV_ENVPREP_PURE_SOURCES} envprep/main.cpp envprep/steps.cpp)
qv_windows_target(envprep)
target_compile_options(envprep PRIVATE ${QV_PROGRAM_OPTIONS})
target_link_libraries(envprep PRIVATE userenv advapi32 user32 kernel32)

set(QV_DELIVERABLES qvsetup typescan biospeek envprep qvcheck)

# The sample installation media as two discs: disc 1 with the programs and
# the scripts of examples/disc1 (kept in UTF-8, put on the disc in CP932),
# disc 2 with data; their folders and their ISO 9660 images.
set(QV_DISCS ${CMAKE_BINARY_DIR}/discs)
file(GLOB_RECURSE QV_EXAMPLE_FILES ${CMAKE_SOURCE_DIR}/examples/*)
add_custom_command(OUTPUT ${QV_DISCS}/disc1.iso ${QV_DISCS}/disc2.iso
                   COMMAND ${CMAKE_SOURCE_DIR}/tools/lay-out-discs ${CMAKE_BINARY_DIR} ${QV_DISCS}
                   DEPENDS qvsetup typescan biospeek envprep ${QV_EXAMPLE_FILES}
                           ${CMAKE_SOURCE_DIR}/tools/lay-out-discs ${CMAKE_SOURCE_DIR}/tools/make-disc
                   VERBATIM)
add_custom_target(sample_discs ALL DEPENDS ${QV_DISCS}/disc1.iso ${QV_DISCS}/disc2.iso)
install(DIRECTORY ${QV_DISCS}/disc1 ${QV_DISCS}/disc2 DESTINATION .)
install(FILES ${QV_DISCS}/disc1.iso ${QV_DISCS}/disc2.iso DESTINATION .)
install(TARGETS qvcheck RUNTIME DESTINATION .)

# A path of the build tree as Windows programs under Wine see it.
function(qv_wine_path out path)
    string(REPLACE "/" "\\" windows_path "${path}")
    set(${out} "Z:${windows_path}" PARENT_SCOPE)
endfunction()

# --- test bench -------------------------------------------------------------
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${QV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The win32 thread model has no std::mutex: a port header of ours gives
# GoogleTest what it would take from <mutex>.
foreach(gtest_target gtest gtest_main)
    target_include_directories(${gtest_target} BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/kit/gtest-port)
    target_link_options(${gtest_target} INTERFACE ${QV_LINK_OPTIONS})
endforeach()

add_library(qv_testkit STATIC tests/kit/bench.cpp tests/kit/qvcheck_run.cpp tests/kit/run_follower.cpp
            tests/kit/setup_run.cpp tests/kit/ui.cpp)
qv_windows_target(qv_testkit)
target_include_directories(qv_testkit PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(qv_testkit PUBLIC GTest::gtest user32 gdi32 advapi32 kernel32)

# One Wine start per test program: each program is one ctest test.
function(qv_wine_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LOCKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    qv_windows_target(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} qv_testkit GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 600)
    if(ARG_LOCKS)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
    endif()
endfunction()

# Small programs that tests start as child processes.
foreach(helper version_probe stamp)
    add_executable(${helper} tests/helpers/${helper}.cpp)
    qv_windows_target(${helper})
endforeach()

add_test(NAME bench_start COMMAND ${CMAKE_SOURCE_DIR}/tools/bench start ${QV_BENCH_DIR})
add_test(NAME bench_stop COMMAND ${CMAKE_SOURCE_DIR}/tools/bench stop ${QV_BENCH_DIR})
set_tests_properties(bench_start PROPERTIES FIXTURES_SETUP wine_bench TIMEOUT 300)
set_tests_properties(bench_stop PROPERTIES FIXTURES_CLEANUP wine_bench TIMEOUT 60)

qv_wine_test(bench_test SOURCES tests/bench/bench_test.cpp LOCKS wine_drives)
add_dependencies(bench_test version_probe)
target_compile_definitions(bench_test PRIVATE
    VERSION_PROBE_EXE="$<TARGET_FILE_NAME:version_probe>")

qv_wine_test(parser_test SOURCES tests/setup/parser_test.cpp LIBRARIES qv_setup_ui)
qv_wine_test(setup_log_test SOURCES tests/setup/setup_log_test.cpp LIBRARIES qv_setup_core)

# Tests of the real qvsetup.exe: one instance at a time (its mutex).
foreach(name startup_test selection_test interpreter_test media_test background_test log_test
        unattended_test hostile_media_test)
    qv_wine_test(${name} SOURCES tests/setup/${name}.cpp LOCKS "qvsetup_instance;wine_drives")
    add_dependencies(${name} qvsetup stamp)
endforeach()
# Tests that read the screen never run beside another prefix's windows.
set_tests_properties(background_test PROPERTIES RESOURCE_LOCK "qvsetup_instance;wine_drives;screen")
# Runs whose media have a MODEL start typescan, whose driver service is one
# for the whole prefix.
set_tests_properties(unattended_test log_test PROPERTIES RESOURCE_LOCK "qvsetup_instance;wine_drives;biospeek_service")
target_link_libraries(interpreter_test PRIVATE shell32)
add_dependencies(log_test sample_discs)
add_dependencies(hostile_media_test qvcheck)
qv_wine_test(engine_test SOURCES tests/setup/engine_test.cpp setup/resources/qvsetup.rc
             LIBRARIES qv_setup_shell LOCKS "qvsetup_instance;wine_drives")
add_dependencies(engine_test qvsetup)
# SHUTDOWN really ends the program: in a prefix of its own.
add_test(NAME shutdown_test
         COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/shutdown_test.sh ${QV_BENCH_DIR} $<TARGET_FILE:qvsetup>)
set_tests_properties(shutdown_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 180)
# Runs that go on after restarts and power cuts: in a prefix of its own
# (whose windows share the bench's screen), and never beside a trial, whose
# load would let a run pass its cut points.
add_test(NAME resume_test
         COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/setup/resume_test.py ${QV_BENCH_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(resume_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 900 RESOURCE_LOCK "trials;screen")
# The sample media, installed through the UI as a person would.
add_executable(demo_driver tests/demo/demo_driver.cpp ${QV_BIOSPEEK_PURE_SOURCES}
               typescan/smbios_reader.cpp typescan/smbios_text.cpp)
qv_windows_target(demo_driver)
target_link_libraries(demo_driver PRIVATE qv_testkit gdi32)
add_dependencies(demo_driver sample_discs)
qv_wine_path(QV_WINE_DISC1 ${QV_DISCS}/disc1)
qv_wine_path(QV_WINE_DISC2 ${QV_DISCS}/disc2)
qv_wine_path(QV_WINE_SCREENSHOTS ${CMAKE_BINARY_DIR}/screenshots)
add_test(NAME examples_test
         COMMAND demo_driver run ${QV_WINE_DISC1}\\QVSETUP.EXE ${QV_WINE_DISC1} ${QV_WINE_DISC2}
                 ${QV_WINE_SCREENSHOTS})
set_tests_properties(examples_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 300
                     RESOURCE_LOCK "qvsetup_instance;wine_drives;biospeek_service"
                     PASS_REGULAR_EXPRESSION "ended with exit code 0")
# Benchmarks, run by tools/run-benchmarks (not part of the test suite).
add_executable(setup_benchmark tests/perf/setup_benchmark.cpp)
qv_windows_target(setup_benchmark)
target_link_libraries(setup_benchmark PRIVATE qv_testkit)
add_dependencies(setup_benchmark qvsetup qvcheck stamp)

# File commands: SZDD fixtures made by mscompress, and a small tmpfs that
# the tests give Wine as a full drive.
set(QV_LZ_FIXTURES ${CMAKE_BINARY_DIR}/lz-fixtures)
add_custom_command(OUTPUT ${QV_LZ_FIXTURES}/DAMAGED.TX_
                   COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/make_lz_fixtures.sh ${QV_LZ_FIXTURES}
                           ${CMAKE_SOURCE_DIR}/setup/resources/qvsetup.ico
                   DEPENDS ${CMAKE_SOURCE_DIR}/tests/setup/make_lz_fixtures.sh VERBATIM)
add_custom_target(lz_fixtures DEPENDS ${QV_LZ_FIXTURES}/DAMAGED.TX_)
set(QV_FULL_DISK ${CMAKE_BINARY_DIR}/bench/fulldisk)
add_test(NAME fulldisk_mount COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/fulldisk.sh mount ${QV_FULL_DISK})
add_test(NAME fulldisk_umount COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/fulldisk.sh umount ${QV_FULL_DISK})
set_tests_properties(fulldisk_mount PROPERTIES FIXTURES_SETUP full_disk)
set_tests_properties(fulldisk_umount PROPERTIES FIXTURES_CLEANUP full_disk)
qv_wine_test(file_commands_test SOURCES tests/setup/file_commands_test.cpp
             LOCKS "qvsetup_instance;wine_drives")
add_dependencies(file_commands_test qvsetup stamp lz_fixtures)
set_tests_properties(file_commands_test PROPERTIES FIXTURES_REQUIRED "wine_bench;full_disk")

# typescan.exe from outside: one at a time (the Biospeek service).
qv_wine_test(typescan_cli_test SOURCES tests/typescan/typescan_cli_test.cpp
             LOCKS biospeek_service)
add_dependencies(typescan_cli_test typescan biospeek)

file(COPY ${CMAKE_SOURCE_DIR}/tests/data/smbios/ DESTINATION ${CMAKE_BINARY_DIR}/smbios-data)
qv_wine_test(typescan_driver_test SOURCES tests/typescan/typescan_driver_test.cpp
             LOCKS biospeek_service)
add_dependencies(typescan_driver_test typescan biospeek)
# A stopped service left by a crashed run, in a fresh session: in a prefix of its own.
add_test(NAME stale_service_test
         COMMAND ${CMAKE_SOURCE_DIR}/tests/typescan/stale_service_test.sh ${QV_BENCH_DIR}
                 $<TARGET_FILE:typescan> $<TARGET_FILE:biospeek>
                 ${CMAKE_SOURCE_DIR}/tests/data/smbios/Beelink-EQ12.dmi)
# The copy is made while no other test has the service in the bench's registry.
set_tests_properties(stale_service_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 240
                     RESOURCE_LOCK biospeek_service)

add_test(NAME dmidecode_check
         COMMAND ${CMAKE_SOURCE_DIR}/tests/typescan/dmidecode_check.sh ${QV_BENCH_DIR}
                 $<TARGET_FILE:typescan> $<TARGET_FILE:biospeek> ${CMAKE_SOURCE_DIR}/tests/data/smbios)
set_tests_properties(dmidecode_check PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 300
                     RESOURCE_LOCK biospeek_service)

# envprep.exe on registry keys of the prefix: one at a time.
qv_wine_test(envprep_test SOURCES tests/envprep/envprep_test.cpp LOCKS "envprep_registry;wine_drives")
add_dependencies(envprep_test envprep)
qv_wine_test(envprep_steps_test SOURCES tests/envprep/steps_test.cpp envprep/steps.cpp
             ${QV_ENVPREP_PURE_SOURCES} LOCKS envprep_registry)
target_link_libraries(envprep_steps_test PRIVATE userenv advapi32)
target_link_libraries(envprep_test PRIVATE userenv shlwapi advapi32)

qv_wine_test(resources_test SOURCES tests/setup/resources_test.cpp)
add_dependencies(resources_test qvsetup)

# qvcheck on its corpus of broken media, and against qvsetup.exe.
qv_wine_test(qvcheck_test SOURCES tests/qvcheck/qvcheck_test.cpp LOCKS "qvsetup_instance;wine_drives;biospeek_service")
target_compile_definitions(qvcheck_test PRIVATE
    QV_QVCHECK_CORPUS="Z:${CMAKE_SOURCE_DIR}/tests/qvcheck/corpus.txt")
add_dependencies(qvcheck_test qvcheck qvsetup sample_discs)
# qvcheck_test keeps the text report and the SARIF log of each corpus
# medium; sarif_check validates the logs against the SARIF 2.1.0 schema and
# finds every finding of the reports in them.
set_tests_properties(qvcheck_test PROPERTIES FIXTURES_SETUP qvcheck_logs)
set(QV_SARIF_DEPS ${CMAKE_SOURCE_DIR}/build-deps/sarif)
add_test(NAME sarif_check
         COMMAND node ${CMAKE_SOURCE_DIR}/tests/qvcheck/sarif_check.js ${QV_SARIF_DEPS}/sarif-2.1.0.json
                 ${QV_SARIF_DEPS}/node_modules ${CMAKE_BINARY_DIR}/sarif)
set_tests_properties(sarif_check PROPERTIES FIXTURES_REQUIRED qvcheck_logs TIMEOUT 120)

# The Linux tools from outside.
add_test(NAME tools_test COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/tools_test.sh)
set_tests_properties(tools_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 300
                     ENVIRONMENT QV_WIN_TREE=${CMAKE_BINARY_DIR})
# try-media makes a Wine prefix of its own for each run.
add_test(NAME try_media_test COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/try_media_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(try_media_test PROPERTIES TIMEOUT 900 RESOURCE_LOCK trials)
# Disc images and their manifests.
add_test(NAME release_test COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/release_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(release_test PROPERTIES TIMEOUT 300 ENVIRONMENT QV_WIN_TREE=${CMAKE_BINARY_DIR})
# A matrix runs trials side by side on every core: it runs alone, so that
# the tests that time a run are not starved.
add_test(NAME try_matrix_test COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/try_matrix_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(try_matrix_test PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
add_dependencies(demo_driver qvsetup typescan biospeek)
add_test(NAME try_typescan_test COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/try_typescan_test.sh)
set_tests_properties(try_typescan_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 300
                     ENVIRONMENT QV_WIN_TREE=${CMAKE_BINARY_DIR} RESOURCE_LOCK biospeek_service)

# The sample media from their disc images, mounted by the test's script.
add_executable(disc_test tests/discs/disc_test.cpp)
qv_windows_target(disc_test)
target_link_libraries(disc_test PRIVATE qv_testkit GTest::gtest_main)
add_dependencies(disc_test sample_discs)
add_test(NAME disc_test
         COMMAND ${CMAKE_SOURCE_DIR}/tests/discs/disc_test.sh ${QV_BENCH_DIR} ${CMAKE_BINARY_DIR} ${QV_DISCS})
set_tests_properties(disc_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 300
                     RESOURCE_LOCK "qvsetup_instance;wine_drives;screen;biospeek_service")

# The pictures of every window, made as the README's are: the test fails
# when one can't be made.
add_test(NAME pictures_test
         COMMAND ${CMAKE_SOURCE_DIR}/tools/make-pictures --bench-running ${CMAKE_BINARY_DIR}/pictures)
set_tests_properties(pictures_test PROPERTIES FIXTURES_REQUIRED wine_bench TIMEOUT 300
                     ENVIRONMENT QV_WIN_TREE=${CMAKE_BINARY_DIR}
                     RESOURCE_LOCK "qvsetup_instance;wine_drives;biospeek_service;screen")

# Each deliverable imports exactly its reviewed list of system functions:
# checked on the 32-bit build, the one that ships.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    foreach(deliverable ${QV_DELIVERABLES})
        add_test(NAME imports_${deliverable}
                 COMMAND ${CMAKE_SOURCE_DIR}/tools/check-imports $<TARGET_FILE:${deliverable}>
                         ${CMAKE_SOURCE_DIR}/tests/imports/${deliverable}.txt)
    endforeach()
endif()
