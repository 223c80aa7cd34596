# quill-pdf: the viewer engine on the command line (info, FDF export and import, sample drawings,
# the resolution sheet of a review).
add_executable(quill-pdf ${CMAKE_CURRENT_LIST_DIR}/tools/quill_pdf_main.cpp)
target_compile_options(quill-pdf PRIVATE ${QUILL_WARNINGS})
target_link_libraries(quill-pdf PRIVATE quill_engine quill_session PkgConfig::QPDF)
