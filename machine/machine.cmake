# Machine model: parameter files, move validation, conversion to motor
# steps, the operator panel model, the machine contract and the simulated
# machine; the machine problem dialog and the dwell countdown window.

orv_core_library(orv_machine SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Read_Machinedata_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MoveValidator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/convert.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StopWatch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BasicControlPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JogKeyTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlPanelStd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsPassword.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MachineList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BasicMachine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DummyLinkMill.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MachineProblem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JogKeyTable.cpp
    DEPS orv_engine_core orv_engine_chain orv_tooling)

orv_test(machine_tests SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineDataFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineMoveValidatorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineConvertTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachinePanelTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ControlPanelStdTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineListTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineStopWatchTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineContractTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineSimulatedTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/MachineProblemTest.cpp
    DEPS orv_machine)

if(ORV_WITH_QT)
    orv_ui_library(orv_machine_ui SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ui/MachProbDialog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/DownCounterWindow.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/McodeEntry.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/ControlPanelStdForm.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/Progress.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/data_entty_form.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/NewPass.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ui/property_editor.cpp
        DEPS orv_machine orv_tooling_ui orv_engine_chain_ui orv_platform_ui orv_controls_ui)

    orv_test(machine_ui_tests SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/tests/MachineWindowsTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/MachineEditorWindowTest.cpp
        DEPS orv_machine_ui QT)
endif()

orv_fuzz(fuzz_machinedata SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz_machinedata.cpp
    DEPS orv_machine)
