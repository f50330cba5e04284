# Core of the NC engine: block records, messages and paths, settings files,
# the stage base, macro variables and the NC line parser.
orv_core_library(orv_engine_core SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/data_types.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mess.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResStrings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetUtil.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DUtils.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DIniFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Base_cnc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MacroVars.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CNCLineParser.cpp
    DEPS orv_platform orv_localise)
target_link_libraries(orv_engine_core PUBLIC ${CMAKE_DL_LIBS})

orv_test(engine_core_tests SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/DataTypesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MessTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/DUtilsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/DIniFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/Base_cncTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MacroVarsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/CNCLineParserTest.cpp
    DEPS orv_engine_core)

orv_fuzz(fuzz_parser SOURCES ${CMAKE_CURRENT_LIST_DIR}/../fuzz/fuzz_parser.cpp DEPS orv_engine_core)

if(ORV_WITH_QT)
    orv_ui_library(orv_engine_core_ui SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ui/MacroVarsForm.cpp
        DEPS orv_engine_core orv_rspin_ui)
    orv_test(engine_core_ui_tests QT SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/MacroVarsFormTest.cpp
        DEPS orv_engine_core_ui)
endif()
