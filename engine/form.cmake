# The engine form and what it owns directly: the compiled move files, the
# post-processor output, block search, the run loop; its windows in ui/;
# and ncrun, the headless test driver.

set(ORV_FORM_DIR ${CMAKE_CURRENT_LIST_DIR})

orv_core_library(orv_engine_form
    SOURCES
        ${ORV_FORM_DIR}/CompiledRecord.cpp
    DEPS orv_engine_core)

if(ORV_WITH_QT)
    orv_ui_library(orv_engine_form_ui
        SOURCES
            ${ORV_FORM_DIR}/ui/EngineWindows.cpp
        DEPS orv_engine_form)
endif()

if(ORV_TESTS)
    add_library(orv_ncrun_lib STATIC
        ${ORV_FORM_DIR}/ncrun/NcRunOptions.cpp
        ${ORV_FORM_DIR}/ncrun/RecordLine.cpp)
    target_link_libraries(orv_ncrun_lib PUBLIC orv_engine_form)
endif()

orv_test(engine_form_tests
    SOURCES
        ${ORV_FORM_DIR}/tests/CompiledRecordTest.cpp
        ${ORV_FORM_DIR}/tests/NcrunOptionsTest.cpp
    DEPS orv_engine_form orv_ncrun_lib)

if(ORV_WITH_QT)
    orv_test(engine_form_ui_tests
        SOURCES
            ${ORV_FORM_DIR}/tests/FormWindowsTest.cpp
        DEPS orv_engine_form_ui
        QT)
endif()

# The engine form's machine, control panel and outside requests (DDE command
# state, CIM serial lines).
target_sources(orv_engine_form PRIVATE
    ${ORV_FORM_DIR}/EngineRequests.cpp)

orv_test(engine_relay_tests
    SOURCES
        ${ORV_FORM_DIR}/tests/FormMachineRequestsTest.cpp
    DEPS orv_engine_form)
