# The Debian package: the client, its link handler, the review server with its systemd unit,
# desktop files, icons, man pages and the maintainer scripts that write the registry values.
# `./quill package` builds the programs and runs cpack; nothing here builds more than it needs.

include(GNUInstallDirs)

# Where the client lives; postinst writes this folder as INSTALL_DIR, quillstart starts
# INSTALL_DIR/Quillmark from it.
set(QUILL_PKG_INSTALL_DIR lib/quillmark)
set(QUILL_PKG_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillmark)
set(QUILL_PKG_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QUILL_PKG_STAGE ${PROJECT_BINARY_DIR}/packaging)

# Directories in the package are 0755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS Quillmark RUNTIME DESTINATION ${QUILL_PKG_INSTALL_DIR})
# On the PATH too, for the man page's name and for starting the demo by hand.
file(MAKE_DIRECTORY ${QUILL_PKG_STAGE})
file(CREATE_LINK ../lib/quillmark/Quillmark ${QUILL_PKG_STAGE}/Quillmark SYMBOLIC)
install(FILES ${QUILL_PKG_STAGE}/Quillmark DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS quill-review-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# quillstart and its desktop file are installed by src/CMakeLists.txt.
install(FILES ${QUILL_PKG_DIR}/quillmark.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
# Debian 12 looks for system units under /lib/systemd/system.
install(FILES ${QUILL_PKG_DIR}/quill-review-server.service DESTINATION /lib/systemd/system)

# The application icon in the sizes of the icon theme, rendered from its artwork at build time.
add_executable(quill_render_icon ${QUILL_PKG_DIR}/render_icon.cpp)
target_compile_options(quill_render_icon PRIVATE ${QUILL_WARNINGS})
target_link_libraries(quill_render_icon PRIVATE Qt6::Gui Qt6::Svg)
set(QUILL_ICON_SVG ${PROJECT_SOURCE_DIR}/assets/art/128_application_icon.svg)
set(QUILL_ICON_FILES)
foreach(size 16 32 48 256)
  set(png ${QUILL_PKG_STAGE}/icons/${size}/quillmark.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILL_PKG_STAGE}/icons/${size}
    COMMAND quill_render_icon ${QUILL_ICON_SVG} ${size} ${png}
    DEPENDS quill_render_icon ${QUILL_ICON_SVG}
    VERBATIM)
  list(APPEND QUILL_ICON_FILES ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${QUILL_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
  RENAME quillmark.svg)

# Man pages and the changelog are shipped compressed, without a time stamp in the gzip header.
find_program(QUILL_GZIP gzip REQUIRED)
set(QUILL_DOC_FILES)
foreach(page Quillmark quillstart quill-review-server)
  set(gz ${QUILL_PKG_STAGE}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILL_PKG_STAGE}/man
    COMMAND ${QUILL_GZIP} -9nc ${QUILL_PKG_DIR}/man/${page}.1 > ${gz}
    DEPENDS ${QUILL_PKG_DIR}/man/${page}.1)
  list(APPEND QUILL_DOC_FILES ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(QUILL_CHANGELOG_GZ ${QUILL_PKG_STAGE}/changelog.gz)
add_custom_command(OUTPUT ${QUILL_CHANGELOG_GZ}
  COMMAND ${QUILL_GZIP} -9nc ${QUILL_PKG_DIR}/changelog > ${QUILL_CHANGELOG_GZ}
  DEPENDS ${QUILL_PKG_DIR}/changelog)
list(APPEND QUILL_DOC_FILES ${QUILL_CHANGELOG_GZ})
install(FILES ${QUILL_CHANGELOG_GZ} ${QUILL_PKG_DIR}/copyright DESTINATION ${QUILL_PKG_DOC_DIR})

# Everything the package holds besides the three programs; built by `./quill package` only.
add_custom_target(quill_package_files DEPENDS ${QUILL_ICON_FILES} ${QUILL_DOC_FILES})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmark)
set(CPACK_PACKAGE_VENDOR Orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillmark developers <quillmark@orvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "review engineering PDFs together")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillmark is a desktop client in which engineers of several disciplines
review one engineering PDF together: each reviewer's comments are merged
onto the pages, checked and published to the review server.
The package holds the client, quillstart (the handler of quillmark: links
from the review web page) and quill-review-server, the bundled review server
and content store, whose systemd unit is installed disabled.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillmark.orvane.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins (the window system) and the fonts the pages and the windows are drawn
# with are loaded at run time, so the library scan cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, fonts-liberation2, fonts-noto-cjk, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${QUILL_PKG_DIR}/postinst ${QUILL_PKG_DIR}/prerm ${QUILL_PKG_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
