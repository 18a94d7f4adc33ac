# What a test needs, said in its one line of its folder's CMakeLists.txt:
#
#   dorrik_add_test(tst_name [TIME_ZONES] [QML] [QUICK_TEST] [MENU_DRIVER] [PROGRAM] [SIM_PROGRAM]
#                   [LIBS lib...] [DEFINES NAME="value"...] [DEPENDS target...])
#
# builds tst_name.cpp of the folder into the QtTest program tst_name and registers the ctest
# tst_name (or, with TIME_ZONES, one per zone of DORRIK_TEST_ZONES: tst_name_UTC,
# tst_name_Europe_Berlin), run in DORRIK_TEST_ENV with a 300 s time-out. Every test links the
# bus library, the simulated instrument, the fixtures of tests/support and the libraries the
# folder names in DORRIK_TEST_LIBS.
#   TIME_ZONES   its results depend on the local time zone: once per zone
#   QML          the DorrikBus module of the build tree, built first (DORRIK_QML_IMPORT_DIR)
#   QUICK_TEST   links Qt Quick Test
#   MENU_DRIVER  the whole menu driven against the simulated instrument (menudriver.h); QML too
#   PROGRAM      the program tavrin built first (TAVRIN_PROGRAM, and DORRIK_PROGRAM_DIR, where
#                its translations lie)
#   SIM_PROGRAM  tavrin-sim built first (TAVRIN_SIM_PROGRAM)
#   NO_CTEST     builds the program only: its folder registers its ctests itself
#   LIBS, DEFINES, DEPENDS: further libraries, compile definitions and targets built first.
function(dorrik_add_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg
        "TIME_ZONES;QML;QUICK_TEST;MENU_DRIVER;PROGRAM;SIM_PROGRAM;NO_CTEST" "" "LIBS;DEFINES;DEPENDS")
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "dorrik_add_test(${name}): unknown ${arg_UNPARSED_ARGUMENTS}")
    endif()
    set(src ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
    set_property(GLOBAL APPEND PROPERTY DORRIK_LISTED_TESTS ${src})
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE DorrikBus1 TavrinSim dorrik_testsupport Qt6::Test
                          Qt6::Core Qt6::Gui Qt6::Quick Qt6::Network PkgConfig::LIBMODBUS util
                          ${DORRIK_TEST_LIBS} ${arg_LIBS})
    if(arg_MENU_DRIVER)
        target_link_libraries(${name} PRIVATE dorrik_menudriver)
        set(arg_QML ON)
    endif()
    if(arg_QML)
        target_link_libraries(${name} PRIVATE Qt6::Qml)
        add_dependencies(${name} qmldorrikbusplugin)
        target_compile_definitions(${name} PRIVATE
                                   DORRIK_QML_IMPORT_DIR="${CMAKE_BINARY_DIR}/menu")
    endif()
    if(arg_QUICK_TEST)
        target_link_libraries(${name} PRIVATE Qt6::QuickTest Qt6::Qml)
    endif()
    if(arg_PROGRAM)
        add_dependencies(${name} tavrin qmldorrikbusplugin)
        target_compile_definitions(${name} PRIVATE TAVRIN_PROGRAM="$<TARGET_FILE:tavrin>"
                                   DORRIK_PROGRAM_DIR="$<TARGET_FILE_DIR:tavrin>")
    endif()
    if(arg_SIM_PROGRAM)
        add_dependencies(${name} tavrin-sim)
        target_compile_definitions(${name} PRIVATE TAVRIN_SIM_PROGRAM="$<TARGET_FILE:tavrin-sim>")
    endif()
    if(arg_DEFINES)
        target_compile_definitions(${name} PRIVATE ${arg_DEFINES})
    endif()
    if(arg_DEPENDS)
        add_dependencies(${name} ${arg_DEPENDS})
    endif()
    if(arg_NO_CTEST)
        return()
    endif()
    # The whole menu keeps about two cores busy (its GUI, the worker, the simulator): counted as
    # two, ctest -j does not crowd the machine past what the tests' waits allow for.
    set(cores 1)
    if(arg_MENU_DRIVER)
        set(cores 2)
    endif()
    if(arg_TIME_ZONES)
        dorrik_add_ctest(${name} ZONES ${DORRIK_TEST_ZONES} PROCESSORS ${cores} COMMAND ${name})
    else()
        dorrik_add_ctest(${name} PROCESSORS ${cores} COMMAND ${name})
    endif()
endfunction()

# Registers the ctest `name` running COMMAND in DORRIK_TEST_ENV with a 300 s time-out, counted
# as PROCESSORS cores (1 unless told); with ZONES, one ctest name_<zone> per zone, run in that
# zone.
function(dorrik_add_ctest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PROCESSORS" "ZONES;COMMAND")
    if(NOT arg_PROCESSORS)
        set(arg_PROCESSORS 1)
    endif()
    if(NOT arg_ZONES)
        add_test(NAME ${name} COMMAND ${arg_COMMAND})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${DORRIK_TEST_ENV}" TIMEOUT 300
                             PROCESSORS ${arg_PROCESSORS})
        return()
    endif()
    foreach(zone IN LISTS arg_ZONES)
        string(REPLACE "/" "_" tag ${zone})
        add_test(NAME ${name}_${tag} COMMAND ${arg_COMMAND})
        set_tests_properties(${name}_${tag} PROPERTIES ENVIRONMENT "${DORRIK_TEST_ENV};TZ=${zone}"
                             TIMEOUT 300 PROCESSORS ${arg_PROCESSORS})
    endforeach()
endfunction()

# Fails the configuration where a tests/**/tst_*.cpp has no dorrik_add_test line: a test file
# moved or merged into a folder would otherwise never be built nor run.
function(dorrik_check_tests_listed dir)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/tst_*.cpp")
    get_property(listed GLOBAL PROPERTY DORRIK_LISTED_TESTS)
    foreach(src IN LISTS sources)
        if(NOT src IN_LIST listed)
            file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${src})
            get_filename_component(folder ${rel} DIRECTORY)
            get_filename_component(test ${src} NAME_WE)
            message(FATAL_ERROR "${rel} is built by no test line: add dorrik_add_test(${test} ...)"
                                " to ${folder}/CMakeLists.txt (see cmake/DorrikTests.cmake)")
        endif()
    endforeach()
endfunction()
