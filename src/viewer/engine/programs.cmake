# The viewer engine draws appearance text from glyph outlines read with FreeType.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
target_link_libraries(quill_core PUBLIC PkgConfig::FREETYPE)
# Image comments keep their pixels deflated (zlib).
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
target_link_libraries(quill_core PUBLIC PkgConfig::ZLIB)

add_executable(quill-pdf ${CMAKE_CURRENT_LIST_DIR}/tools/quill_pdf_main.cpp)
target_compile_options(quill-pdf PRIVATE ${QUILL_WARNINGS})
target_link_libraries(quill-pdf PRIVATE quill_core)
