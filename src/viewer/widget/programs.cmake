# Sample drawings and comments for trying the widget: quill-view, the widget tests and benchmarks.
add_library(quill_widget_samples STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tools/sample_annots.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tools/sample_annots.h
  ${CMAKE_CURRENT_LIST_DIR}/tools/sample_drawing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tools/sample_drawing.h)
target_compile_options(quill_widget_samples PRIVATE ${QUILL_WARNINGS})
target_link_libraries(quill_widget_samples PUBLIC quill_widget)

# quill-view: the viewer widget alone with a tool bar, for trying the tools and screenshots.
add_executable(quill-view ${CMAKE_CURRENT_LIST_DIR}/tools/quill_view_main.cpp)
target_compile_options(quill-view PRIVATE ${QUILL_WARNINGS})
target_link_libraries(quill-view PRIVATE quill_widget_samples)
