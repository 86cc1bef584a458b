# The layers of the program and what each may reach.
#
#   gui/       the window (Qt); some of its libraries are plain data and logic without Qt
#   cli/       the command line
#   model/     the application's vocabulary without Qt: requests, outcomes, effects, batch, record
#   numerics/  the mathematics
#
# Every header is included by its path from the repository root ("numerics/f/noncentral_f.h").
# There is no global include path: each layer's libraries export an include root that holds only
# that layer's folder, so a file reaches another layer's headers only when its target links one
# of that layer's libraries, and an include that runs back up the layers fails to compile.

# The include root of one layer: a folder in the build tree with a link named after the layer
# pointing at its source folder.
function(quorvel_layer_include_root layer out_var)
  set(root ${PROJECT_BINARY_DIR}/include-roots/${layer})
  if(NOT IS_SYMLINK ${root}/${layer})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${layer} ${root}/${layer} SYMBOLIC)
  endif()
  set(${out_var} ${root} PARENT_SCOPE)
endfunction()

# quorvel_add_library(NAME LAYER layer [USES_QT] [SOURCES ...]): a static library of one layer
# exporting that layer's include root. A library without USES_QT is promised to be free of Qt,
# which quorvel_check_qt_free() verifies once every target exists.
function(quorvel_add_library name)
  cmake_parse_arguments(ARG "USES_QT" "LAYER" "SOURCES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  quorvel_layer_include_root(${ARG_LAYER} root)
  target_include_directories(${name} PUBLIC ${root})
  if(NOT ARG_USES_QT)
    set_property(GLOBAL APPEND PROPERTY QUORVEL_QT_FREE_TARGETS ${name})
  endif()
endfunction()

# Collects every library that `target` links, directly or through the libraries it links.
function(quorvel_linked_libraries target out_var)
  set(pending ${target})
  set(seen)
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    if(NOT TARGET ${current})
      continue()
    endif()
    get_target_property(aliased ${current} ALIASED_TARGET)
    if(aliased)
      list(APPEND pending ${aliased})
    endif()
    get_target_property(type ${current} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link ${links})
      # $<LINK_ONLY:lib> and similar wrappers name a library all the same.
      string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" link "${link}")
      list(APPEND pending ${link})
    endforeach()
  endwhile()
  set(${out_var} ${seen} PARENT_SCOPE)
endfunction()

# Fails the configuration when a library promised to be free of Qt links Qt, however
# indirectly.
function(quorvel_check_qt_free)
  get_property(targets GLOBAL PROPERTY QUORVEL_QT_FREE_TARGETS)
  foreach(target ${targets})
    quorvel_linked_libraries(${target} linked)
    foreach(library ${linked})
      if(library MATCHES "^Qt[0-9]*::")
        message(FATAL_ERROR "${target} must stay free of Qt but links ${library}")
      endif()
    endforeach()
  endforeach()
endfunction()
