# The simulation-control link (output slot 1) and its "3D Simulation"
# window: record handling and the window's state and settings (core); the
# window with the control's panel and the rapid-feed dialog (ui).

set(ORV_SIMLINK_DIR ${CMAKE_CURRENT_LIST_DIR})

orv_core_library(orv_engine_simlink
    SOURCES
        ${ORV_SIMLINK_DIR}/SimLink.cpp
        ${ORV_SIMLINK_DIR}/ThreeD_form.cpp
    DEPS orv_engine_core orv_engine_chain orv_machine orv_tooling)

orv_test(engine_simlink_tests
    SOURCES ${ORV_SIMLINK_DIR}/tests/SimLinkTest.cpp
    DEPS orv_engine_simlink)


if(ORV_WITH_QT)
    orv_ui_library(orv_engine_simlink_ui
        SOURCES
            ${ORV_SIMLINK_DIR}/ui/ThreeDWindow.cpp
            ${ORV_SIMLINK_DIR}/ui/RapidFeed.cpp
        DEPS orv_engine_simlink orv_platform_ui)
endif()
