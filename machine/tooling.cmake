# Tooling and offsets: the tool library, the tool offset table, the tool
# changer and the work offsets (core), with their windows (ui).
orv_core_library(orv_tooling SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ToolingMessages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniSections.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Tooling_lib.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolEditValues.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolOffsetTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Machine_Tooling.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Machine_Tooling_deck.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShapeUtils.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Work_piece_offset.cpp
    DEPS orv_engine_core orv_engine_chain)

orv_test(tooling_tests SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/ToolLibraryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ToolEditValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ToolOffsetTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ToolChangerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/WorkOffsetTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/WorkOffsetCircleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ToolDataFilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ToolDeckTest.cpp
    DEPS orv_tooling)

# The tooling on the machine model (the machine library builds on the tooling).
if(TARGET orv_machine)
    orv_test(tooling_machine_tests SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/ToolChangeOnMachineTest.cpp
        DEPS orv_machine)
endif()

if(ORV_WITH_QT)
    orv_ui_library(orv_tooling_ui SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ui/CutterPicture.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/ToolEdit.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/tooling_form.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/Tool_Holder2.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/Tool_offsets_form.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/zoffset_.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/offset_type_form.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/Work_piece_offsets_form2.cpp
        DEPS orv_tooling orv_platform_ui orv_localise_ui)

    orv_test(tooling_ui_tests QT SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/ToolWindowsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/WorkOffsetWindowTest.cpp
        DEPS orv_tooling_ui)
endif()

orv_fuzz(fuzz_tooling_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz_tooling_files.cpp
         DEPS orv_tooling)
