# The 2D view: the drawing list and its geometry, the drawing window's
# rules, the 2D output (slot 0) and the element information texts (core);
# the window, its dialogs and the picture dialogs (ui).

set(ORV_VIEW2D_DIR ${CMAKE_CURRENT_LIST_DIR})

orv_core_library(orv_engine_view2d
    SOURCES
        ${ORV_VIEW2D_DIR}/View2dStyles.cpp
        ${ORV_VIEW2D_DIR}/ElementList.cpp
        ${ORV_VIEW2D_DIR}/View2dGeometry.cpp
        ${ORV_VIEW2D_DIR}/DD_Draw_Form.cpp
        ${ORV_VIEW2D_DIR}/Draw_2D.cpp
        ${ORV_VIEW2D_DIR}/ElementInfo.cpp
        ${ORV_VIEW2D_DIR}/PicturePreview.cpp
    DEPS orv_engine_core orv_engine_chain orv_machine orv_tooling)

orv_test(engine_view2d_tests
    SOURCES
        ${ORV_VIEW2D_DIR}/tests/View2dGeometryTest.cpp
        ${ORV_VIEW2D_DIR}/tests/View2dElementListTest.cpp
        ${ORV_VIEW2D_DIR}/tests/View2dFormTest.cpp
        ${ORV_VIEW2D_DIR}/tests/View2dDatumTest.cpp
        ${ORV_VIEW2D_DIR}/tests/View2dSinkTest.cpp
        ${ORV_VIEW2D_DIR}/tests/View2dElementInfoTest.cpp
        ${ORV_VIEW2D_DIR}/tests/View2dPicturePreviewTest.cpp
    DEPS orv_engine_view2d)

if(ORV_WITH_QT)
    orv_ui_library(orv_engine_view2d_ui
        SOURCES
            ${ORV_VIEW2D_DIR}/ui/View2dQtCanvas.cpp
            ${ORV_VIEW2D_DIR}/ui/View2dImageView.cpp
            ${ORV_VIEW2D_DIR}/ui/graphic_setup.cpp
            ${ORV_VIEW2D_DIR}/ui/element_info_form.cpp
            ${ORV_VIEW2D_DIR}/ui/Form2DWindow.cpp
            ${ORV_VIEW2D_DIR}/ui/DOpenPicDlg.cpp
        DEPS orv_engine_view2d orv_platform_ui orv_localise_ui orv_controls_ui)

    orv_test(engine_view2d_ui_tests
        SOURCES
            ${ORV_VIEW2D_DIR}/tests/View2dWindowTest.cpp
            ${ORV_VIEW2D_DIR}/tests/View2dCanvasTest.cpp
            ${ORV_VIEW2D_DIR}/tests/View2dDialogsTest.cpp
            ${ORV_VIEW2D_DIR}/tests/View2dPictureDialogTest.cpp
        DEPS orv_engine_view2d_ui
        QT)

    # The 2D output through ncrun (--2d, --bm2, --2d-list).
    orv_test(engine_view2d_ncrun_tests
        SOURCES ${ORV_VIEW2D_DIR}/tests/View2dNcrunTest.cpp
        DEPS orv_ncrun_lib Qt6::Gui
        QT)
    if(TARGET engine_view2d_ncrun_tests)
        add_dependencies(engine_view2d_ncrun_tests ncrun)
        target_compile_definitions(engine_view2d_ncrun_tests PRIVATE ORV_NCRUN="$<TARGET_FILE:ncrun>")
    endif()
endif()
