# Shared build helpers of the Orvellan tree.

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

# ORV_SANITIZE: the address and undefined-behaviour sanitizers over every
# library and test; a report ends the process with an error, so the test fails.
# ORV_FUZZ adds libFuzzer's coverage to every library (the harness alone
# links the fuzzer's main), so the fuzzer sees the code it drives.
if(ORV_SANITIZE OR ORV_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

if(ORV_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
    set(ORV_TESTS OFF)
    set(ORV_WITH_QT OFF)
else()
    find_package(Qt6 6.2 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Network OpenGL OpenGLWidgets
                 Test DBus)
    set(ORV_WITH_QT ON)
    set(CMAKE_AUTOMOC OFF)
endif()

if(ORV_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
    enable_testing()
endif()

# Precompiled headers: GoogleTest's header for every test binary and the
# common Qt widget headers for the widget libraries and the widget tests, each
# set compiled once in a small target of its own (orv_pch_*) that carries the
# flags of the targets reusing it. GCC uses a precompiled header only when the
# flags match (otherwise it reads the headers, with the same result), so the
# Qt sets live in targets that link Qt like their users.
set(ORV_PCH_QT <QApplication> <QWidget> <QDialog> <QLabel> <QPushButton> <QLineEdit> <QCheckBox>
               <QVBoxLayout> <QHBoxLayout> <QGridLayout> <QMenu> <QPainter> <QKeyEvent> <QMouseEvent>
               <QImage> <QTimer> <QString>)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/orv_pch.cpp CONTENT "// Host of a shared precompiled header.\n")
function(orv_pch_target name)
    add_library(${name} OBJECT ${CMAKE_BINARY_DIR}/orv_pch.cpp)
    target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()
# GCC names a precompiled header it cannot use (built with other flags).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(ORV_PCH_CHECK -Winvalid-pch)
endif()
if(ORV_WITH_QT)
    orv_pch_target(orv_pch_ui Qt6::Widgets Qt6::Gui Qt6::Core)
    set_target_properties(orv_pch_ui PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_precompile_headers(orv_pch_ui PRIVATE ${ORV_PCH_QT})
endif()
# The tests' own code is optimised for debugging in the optimised builds
# (the sanitizer build too): it compiles in half the time of -O2 and keeps its
# debug information; the libraries under test keep the build's optimisation.
set(ORV_TEST_OPT $<$<CONFIG:RelWithDebInfo,Release,MinSizeRel>:-Og>)
if(ORV_TESTS)
    orv_pch_target(orv_pch_test GTest::gtest)
    target_compile_options(orv_pch_test PRIVATE ${ORV_TEST_OPT})
    target_precompile_headers(orv_pch_test PRIVATE <gtest/gtest.h>)
    if(ORV_WITH_QT)
        orv_pch_target(orv_pch_qt_test GTest::gtest Qt6::Widgets)
        target_compile_options(orv_pch_qt_test PRIVATE ${ORV_TEST_OPT})
        target_precompile_headers(orv_pch_qt_test PRIVATE <gtest/gtest.h> ${ORV_PCH_QT})
    endif()
endif()

# orv_core_library(NAME SOURCES... [DEPS libs...])
# A core library: standard C++ and platform/ only. It never sees a Qt include
# directory, so a Qt Widgets header in core code fails to build.
function(orv_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
endfunction()

# orv_ui_library(NAME SOURCES... [DEPS libs...]): widgets and forms, with moc.
function(orv_ui_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC Qt6::Widgets Qt6::Gui Qt6::Core ${ARG_DEPS})
    target_precompile_headers(${name} REUSE_FROM orv_pch_ui)
    target_compile_options(${name} PRIVATE ${ORV_PCH_CHECK})
endfunction()

# orv_test(NAME SOURCES... [DEPS libs...] [QT] [GL])
# A GoogleTest binary. QT: widget tests, run on the offscreen platform with a
# QApplication made by the shared test main (not while listing tests).
# GL: needs an OpenGL context; run through scripts/with-xvfb.sh on xcb.
# PLATFORM: the Qt platform of QT tests instead of plain "offscreen" (such as
# "offscreen:configfile=screen.json" for a screen of another size).
# Every test runs in the source tree's top folder: one that writes outside
# its own temporary folder leaves the work tree changed (.ci/run checks).
function(orv_test name)
    if(NOT ORV_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "QT;GL" "PLATFORM" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${ORV_TEST_OPT} ${ORV_PCH_CHECK})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock)
    target_compile_definitions(${name} PRIVATE ORV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                               ORV_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
    if(ARG_QT OR ARG_GL)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
        target_link_libraries(${name} PRIVATE orv_qt_test_main Qt6::Widgets)
        target_precompile_headers(${name} REUSE_FROM orv_pch_qt_test)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
        target_precompile_headers(${name} REUSE_FROM orv_pch_test)
    endif()
    if(ARG_GL)
        set(env "QT_QPA_PLATFORM=xcb")
        set(wrapper ${CMAKE_SOURCE_DIR}/scripts/with-xvfb.sh)
        # Read by gtest_discover_tests when it is called: set it first.
        set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${wrapper})
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                             PROPERTIES ENVIRONMENT "${env}" LABELS gl
                             TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60
                             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    else()
        # Tests without widgets carry the label "core" and are built by the
        # target core_tests (the sanitizer pass runs these).
        if(ARG_QT)
            set(label ui)
        else()
            set(label core)
            set_property(GLOBAL APPEND PROPERTY ORV_CORE_TESTS ${name})
        endif()
        if(NOT ARG_PLATFORM)
            set(ARG_PLATFORM offscreen)
        endif()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                             PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=${ARG_PLATFORM}" LABELS ${label}
                             TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60
                             WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    endif()
endfunction()

# core_tests: every test binary without widgets (called once all modules
# have defined their tests).
function(orv_core_tests_target)
    get_property(tests GLOBAL PROPERTY ORV_CORE_TESTS)
    if(tests)
        add_custom_target(core_tests DEPENDS ${tests})
    endif()
endfunction()

# orv_fuzz(NAME SOURCES... [DEPS libs...]): a libFuzzer target, built only in
# the fuzz build (ORV_FUZZ=ON, clang). Its seed corpus lives in the folder
# fuzz/corpus_<NAME without "fuzz_"> beside the target's sources.
function(orv_fuzz name)
    if(NOT ORV_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()
