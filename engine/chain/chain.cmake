# Block-processing chain: vector geometry, the metric and absolute stages,
# the move calculator, the program sources and the output-sink contract.

set(ORV_CHAIN_DEPS orv_platform)
if(TARGET orv_engine_core)
    list(APPEND ORV_CHAIN_DEPS orv_engine_core)
endif()

orv_core_library(orv_engine_chain
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/Vectors.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CNC_Metric.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CNC_ABS.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Calc_CNC.cpp
        ${CMAKE_CURRENT_LIST_DIR}/BasicOutput.cpp
        ${CMAKE_CURRENT_LIST_DIR}/BasicInput.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FileInput.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MDIInput.cpp
    DEPS ${ORV_CHAIN_DEPS})

orv_test(engine_chain_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/GeometryVectorsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ChainMetricTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ChainAbsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ChainCalcTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ChainSinkTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ChainSourceTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ChainMDITest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ChainGoldenTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/RecordQueueTest.cpp
    DEPS orv_engine_chain orv_ncrun_lib)

orv_fuzz(fuzz_chain
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/../fuzz/fuzz_chain.cpp
    DEPS orv_engine_chain)

if(ORV_WITH_QT)
    orv_ui_library(orv_engine_chain_ui
        SOURCES
            ${CMAKE_CURRENT_LIST_DIR}/ui/Expanded.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ui/MDIMemo.cpp
        DEPS orv_engine_chain orv_platform_ui)
    orv_test(engine_chain_ui_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/ChainExpandedTest.cpp
                ${CMAKE_CURRENT_LIST_DIR}/tests/ChainMDIMemoTest.cpp
        DEPS orv_engine_chain_ui
        QT)
endif()
