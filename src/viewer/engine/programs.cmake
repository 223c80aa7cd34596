# quill-pdf: the viewer engine on the command line (info, FDF export and import, sample drawings,
# the resolution sheet of a review).
add_executable(quill-pdf ${CMAKE_CURRENT_LIST_DIR}/tools/quill_pdf_main.cpp)
target_compile_options(quill-pdf PRIVATE ${QUILL_WARNINGS})
# The sheet's PDF and pictures need Qt; quill-pdf starts it (offscreen) for that command only.
target_link_libraries(quill-pdf PRIVATE quill_engine quill_session quill_sheet PkgConfig::QPDF)
