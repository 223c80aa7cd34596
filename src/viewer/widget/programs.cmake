# quill-view: the viewer widget alone with a tool bar, for trying the tools and screenshots.
add_executable(quill-view ${CMAKE_CURRENT_LIST_DIR}/tools/quill_view_main.cpp)
target_compile_options(quill-view PRIVATE ${QUILL_WARNINGS})
target_link_libraries(quill-view PRIVATE quill_ui)
