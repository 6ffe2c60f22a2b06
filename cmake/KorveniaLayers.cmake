# The layer rule, kept by the compiler: a file sees the headers of its own layer and of the
# layers its library uses, and no others. There is no shared src/ include root; each layer's
# headers are reached through a folder of the build tree that holds a single symbolic link,
# named after the layer, to src/<layer>. That folder is the layer library's PUBLIC include
# directory, so `#include "formats/kof_writer.h"` resolves only in targets that link
# korvenia_formats (directly or through a layer above it), and fails to compile elsewhere.

# korvenia_include_root(<out-var> <folder>)
# Makes <build>/include-roots/<folder>/<folder> a link to src/<folder> and sets <out-var> to
# the folder that holds the link: the include directory under which "<folder>/x.h" resolves.
function(korvenia_include_root out_var folder)
  set(target_dir ${PROJECT_SOURCE_DIR}/src/${folder})
  if(NOT IS_DIRECTORY ${target_dir})
    message(FATAL_ERROR "src/${folder} does not exist")
  endif()
  set(root ${PROJECT_BINARY_DIR}/include-roots/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${target_dir} ${root}/${folder} SYMBOLIC)
  set(${out_var} ${root} PARENT_SCOPE)
endfunction()

# korvenia_layer(<name> [USES <layers...>] [LIBS <targets...>] [MOC])
# The static library korvenia_<name> of every *.cpp in src/<name>/. USES names the layers
# below it that it may use (they must be declared before it, so the layers form no cycle);
# LIBS other libraries it needs (Qt6::Core, ...); MOC turns on Qt's meta-object code
# generation. A user of korvenia_<name> sees <name>'s headers and those of the layers it uses.
function(korvenia_layer name)
  cmake_parse_arguments(ARG "MOC" "" "USES;LIBS" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "korvenia_layer(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  # The layer is this one call; a CMakeLists.txt in its folder would never be read.
  if(EXISTS ${PROJECT_SOURCE_DIR}/src/${name}/CMakeLists.txt)
    message(FATAL_ERROR "src/${name}/CMakeLists.txt: a layer is declared by its "
                        "korvenia_layer() line in src/CMakeLists.txt; move what it does there")
  endif()
  set(target korvenia_${name})
  set(deps)
  foreach(used IN LISTS ARG_USES)
    if(NOT TARGET korvenia_${used})
      message(FATAL_ERROR "korvenia_layer(${name}) uses '${used}', which is not a layer "
                          "declared before it")
    endif()
    list(APPEND deps korvenia_${used})
  endforeach()

  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  if(NOT sources)
    message(FATAL_ERROR "src/${name} has no .cpp files")
  endif()
  add_library(${target} STATIC ${sources})
  korvenia_include_root(root ${name})
  # PUBLIC only (no PRIVATE include directories): the layer's own files see exactly what its
  # users see, which is what the layer rule tests in tests/layers/ compile against.
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
  target_link_libraries(${target} PUBLIC ${deps} ${ARG_LIBS})
  # Position-independent, as the GIS engine's module takes the layers below it in; calls
  # within the program stay direct and inlinable (no interposition of its own functions).
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  if(ARG_MOC)
    set_target_properties(${target} PROPERTIES AUTOMOC ON AUTOUIC OFF)
  else()
    set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF)
  endif()
endfunction()
