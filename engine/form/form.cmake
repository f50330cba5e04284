# The engine form and what it owns directly: the compiled move files, the
# post-processor output, block search, the run loop; its windows in ui/.
# Tests that run programs through ncrun (ncrun/, defined after the modules)
# name it by $<TARGET_FILE:ncrun>.

set(ORV_FORM_DIR ${CMAKE_CURRENT_LIST_DIR})

orv_core_library(orv_engine_form
    SOURCES
        ${ORV_FORM_DIR}/CompiledRecord.cpp
        ${ORV_FORM_DIR}/CompilerOutput.cpp
        ${ORV_FORM_DIR}/CompiledInput.cpp
        ${ORV_FORM_DIR}/CNC_to_Generic.cpp
        ${ORV_FORM_DIR}/BlockSearchOutput.cpp
        ${ORV_FORM_DIR}/TextInput.cpp
        ${ORV_FORM_DIR}/EditorInput.cpp
        ${ORV_FORM_DIR}/HeadlessHost.cpp
        ${ORV_FORM_DIR}/base.cpp
        ${ORV_FORM_DIR}/base_run.cpp
        ${ORV_FORM_DIR}/base_sub.cpp
        ${ORV_FORM_DIR}/base_tooling.cpp
    DEPS orv_engine_core orv_engine_chain orv_engine_expand orv_machine)

if(ORV_WITH_QT)
    orv_ui_library(orv_engine_form_ui
        SOURCES
            ${ORV_FORM_DIR}/ui/EngineWindows.cpp
        DEPS orv_engine_form orv_localise_ui)
endif()

orv_test(engine_form_tests
    SOURCES
        ${ORV_FORM_DIR}/tests/CompiledRecordTest.cpp
        ${ORV_FORM_DIR}/tests/CompiledFilesTest.cpp
        ${ORV_FORM_DIR}/tests/PostOutputTest.cpp
        ${ORV_FORM_DIR}/tests/SearchBlockTest.cpp
        ${ORV_FORM_DIR}/tests/FormRunTest.cpp
        ${ORV_FORM_DIR}/tests/FormSubprogramTest.cpp
        ${ORV_FORM_DIR}/tests/FormTextInputTest.cpp
        ${ORV_FORM_DIR}/tests/EditorInputTest.cpp
        ${ORV_FORM_DIR}/tests/NcrunOptionsTest.cpp
        ${ORV_FORM_DIR}/tests/NcrunTest.cpp
        ${ORV_FORM_DIR}/tests/NcrunMachineTest.cpp
        ${ORV_FORM_DIR}/tests/NcrunProgramsTest.cpp
        ${ORV_FORM_DIR}/tests/NcrunBadInputTest.cpp
        ${ORV_FORM_DIR}/tests/FormToolingTest.cpp
        ${ORV_FORM_DIR}/tests/RecordLineTest.cpp
    DEPS orv_engine_form orv_ncrun_lib)
if(TARGET engine_form_tests)
    # The tooling tests run the real 2D output.
    target_link_libraries(engine_form_tests PRIVATE orv_engine_view2d)
    add_dependencies(engine_form_tests ncrun)
    target_compile_definitions(engine_form_tests PRIVATE ORV_NCRUN="$<TARGET_FILE:ncrun>")
endif()

if(ORV_WITH_QT)
    orv_test(engine_form_ui_tests
        SOURCES
            ${ORV_FORM_DIR}/tests/FormWindowsTest.cpp
            ${ORV_FORM_DIR}/tests/FormMachineWindowsTest.cpp
        DEPS orv_engine_form_ui orv_machine_ui
        QT)
endif()

orv_fuzz(fuzz_compiled
    SOURCES ${ORV_FORM_DIR}/../fuzz/fuzz_compiled.cpp
    DEPS orv_engine_form)

# The engine form's machine, control panel and outside requests (DDE command
# state, CIM serial lines).
target_sources(orv_engine_form PRIVATE
    ${ORV_FORM_DIR}/EngineRequests.cpp
    ${ORV_FORM_DIR}/base_machine.cpp)

orv_test(engine_relay_tests
    SOURCES
        ${ORV_FORM_DIR}/tests/FormMachineRequestsTest.cpp
        ${ORV_FORM_DIR}/tests/FormMachineRunTest.cpp
        ${ORV_FORM_DIR}/tests/FormSetupTest.cpp
        ${ORV_FORM_DIR}/tests/FormMDISourceTest.cpp
    DEPS orv_engine_form orv_ncrun_lib)

# The operator windows on the engine form: the standard control panel with
# the simulated machine, the machine-tooling window with the 2D output.
if(ORV_WITH_QT)
    orv_test(engine_operator_ui_tests
        SOURCES ${ORV_FORM_DIR}/tests/FormOperatorWindowsTest.cpp
        DEPS orv_engine_form orv_ncrun_lib orv_machine_ui orv_tooling_ui orv_engine_view2d
        QT)
endif()
