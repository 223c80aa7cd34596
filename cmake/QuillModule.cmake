# quill_add_module: one static library per layer, seeing only the layers it may use.
#
#   quill_add_module(NAME quill_sync DIRS sync
#                    SOURCES sync/a.cpp sync/a.h ...
#                    LINKS quill_review quill_control          # our layers it sits on
#                    PUBLIC_DEPS PkgConfig::JSONCPP            # third-party, seen by its headers
#                    PRIVATE_DEPS PkgConfig::CURL              # third-party, sources only
#                    [FACE h1.h h2.h ...]                       # headers other layers may include
#                    [QT])                                      # moc for Qt layers
#
# FACE names the module's public headers (file names in its folder); without it every header is
# public. The layering tests check that no other layer includes a header outside the face.
#
# Headers are included by folder ("sync/fdf/fdf_parser.h"), but a module is not compiled against
# the whole src/ tree: it gets an include root of its own in the build tree that holds links to
# its own folders and to the folders of the layers it links, directly or through them. A header
# of any other layer is simply not there, so an include across a forbidden edge fails to build.

set(QUILL_SRC_DIR ${CMAKE_SOURCE_DIR}/src)
set(QUILL_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include-roots)

# Builds the include root of NAME from the folders DIRS (relative to src/). A folder below one
# already in the list is covered by its parent's link.
function(_quill_make_include_root NAME DIRS)
  set(root ${QUILL_INCLUDE_ROOTS}/${NAME})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  list(REMOVE_DUPLICATES DIRS)
  foreach(dir ${DIRS})
    set(covered FALSE)
    foreach(other ${DIRS})
      if(NOT other STREQUAL dir AND dir MATCHES "^${other}/")
        set(covered TRUE)
      endif()
    endforeach()
    if(covered)
      continue()
    endif()
    get_filename_component(parent ${root}/${dir} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${QUILL_SRC_DIR}/${dir} ${root}/${dir} SYMBOLIC)
  endforeach()
endfunction()

function(quill_add_module)
  cmake_parse_arguments(M "QT" "NAME" "DIRS;SOURCES;LINKS;PUBLIC_DEPS;PRIVATE_DEPS;FACE" ${ARGN})
  list(TRANSFORM M_SOURCES PREPEND ${QUILL_SRC_DIR}/)

  set(visible ${M_DIRS})
  foreach(dep ${M_LINKS})
    get_property(dep_dirs TARGET ${dep} PROPERTY QUILL_VISIBLE_DIRS)
    list(APPEND visible ${dep_dirs})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  _quill_make_include_root(${M_NAME} "${visible}")

  add_library(${M_NAME} STATIC ${M_SOURCES})
  set_property(TARGET ${M_NAME} PROPERTY QUILL_VISIBLE_DIRS ${visible})
  if(M_FACE)
    string(JOIN " " face ${M_FACE})
    set_property(GLOBAL APPEND PROPERTY QUILL_FACES "${M_DIRS}:${face}")
  endif()
  target_include_directories(${M_NAME} PUBLIC ${QUILL_INCLUDE_ROOTS}/${M_NAME})
  target_compile_options(${M_NAME} PRIVATE ${QUILL_WARNINGS})
  target_link_libraries(${M_NAME} PUBLIC ${M_LINKS} ${M_PUBLIC_DEPS} PRIVATE ${M_PRIVATE_DEPS})
  if(M_QT)
    set_target_properties(${M_NAME} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
endfunction()
