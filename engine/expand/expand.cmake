# Expansion stages of the block chain: cutter compensation, arc expansion,
# the optimiser and canned-cycle expansion ("cycles.ini" in data/).

set(ORV_EXPAND_DIR ${CMAKE_CURRENT_LIST_DIR})

orv_core_library(orv_engine_expand
    SOURCES
        ${ORV_EXPAND_DIR}/Optimise.cpp
        ${ORV_EXPAND_DIR}/CircularExpand.cpp
        ${ORV_EXPAND_DIR}/Cutter_comp.cpp
        ${ORV_EXPAND_DIR}/CycleExpand.cpp
    DEPS orv_engine_chain orv_engine_core orv_tooling)

orv_test(engine_expand_tests
    SOURCES
        ${ORV_EXPAND_DIR}/tests/OptimiseTest.cpp
        ${ORV_EXPAND_DIR}/tests/ArcExpandTest.cpp
        ${ORV_EXPAND_DIR}/tests/CutterCompTest.cpp
        ${ORV_EXPAND_DIR}/tests/CutterCompLookAheadTest.cpp
        ${ORV_EXPAND_DIR}/tests/CycleExpandTest.cpp
        ${ORV_EXPAND_DIR}/tests/CutterCompChainTest.cpp
        ${ORV_EXPAND_DIR}/tests/CutterCompGoldenTest.cpp
        ${ORV_EXPAND_DIR}/tests/CutterCompNcrunTest.cpp
    DEPS orv_engine_expand orv_ncrun_lib)
if(TARGET engine_expand_tests)
    # The fixtures also run through ncrun, the engine form with no window.
    add_dependencies(engine_expand_tests ncrun)
    target_compile_definitions(engine_expand_tests PRIVATE ORV_NCRUN="$<TARGET_FILE:ncrun>")
endif()

orv_fuzz(fuzz_expand
    SOURCES ${ORV_EXPAND_DIR}/../fuzz/fuzz_expand.cpp
    DEPS orv_engine_expand)
if(ORV_FUZZ)
    target_compile_definitions(fuzz_expand PRIVATE ORV_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
endif()
