# The VST 3 bundle as hosts expect it, assembled by the build at TAVIRO_BUNDLE_DIR:
#   Linux:   Contents/x86_64-linux/TaviroPlugIn.so   the module
#            Contents/Resources/...                  recordings (WAVE/<id>.wav), UI description, bitmaps
#   Windows: Contents/x86_64-win/TaviroPlugIn.vst3   the module with every resource inside (win/)
# `taviro_bundle` (built by default) stands for the complete bundle; `install-bundle` copies it
# into ~/.vst3 (TAVIRO_VST3_DIR), and so does `cmake --install`.

set(TAVIRO_VST3_DIR "$ENV{HOME}/.vst3" CACHE PATH "Folder the bundle is installed into")
get_filename_component(TAVIRO_BUNDLE_NAME "${TAVIRO_BUNDLE_DIR}" NAME)

add_custom_target(taviro_bundle ALL)

add_custom_target(install-bundle
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${TAVIRO_VST3_DIR}/${TAVIRO_BUNDLE_NAME}"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${TAVIRO_BUNDLE_DIR}" "${TAVIRO_VST3_DIR}/${TAVIRO_BUNDLE_NAME}"
  DEPENDS taviro_bundle
  COMMENT "Installing ${TAVIRO_BUNDLE_NAME} into ${TAVIRO_VST3_DIR}"
  VERBATIM)
install(DIRECTORY "${TAVIRO_BUNDLE_DIR}" DESTINATION "${TAVIRO_VST3_DIR}" USE_SOURCE_PERMISSIONS)

# Makes the MODULE library <target> the bundle's binary: named after the bundle, no "lib"
# prefix, written straight into Contents/<architecture>. Only its entry points leave it: on
# Windows a module-definition file names them (win/); on Linux its own code is compiled with
# hidden visibility, and nothing of the static libraries it links is exported.
function(taviro_bundle_module target)
  get_filename_component(binary_name "${TAVIRO_BUNDLE_DIR}" NAME_WE)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME "${binary_name}")
  add_dependencies(taviro_bundle ${target})
  if(WIN32)
    set_target_properties(${target} PROPERTIES
      SUFFIX ".vst3"
      LIBRARY_OUTPUT_DIRECTORY "${TAVIRO_BUNDLE_DIR}/Contents/x86_64-win")
    return()
  endif()
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY "${TAVIRO_BUNDLE_DIR}/Contents/x86_64-linux"
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL
    "-Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/ModuleExports.map")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${PROJECT_SOURCE_DIR}/cmake/ModuleExports.map")
  if(NOT TAVIRO_SANITIZE)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

# Copies FILES into Contents/Resources (or its subfolder DESTINATION) whenever they change.
# NAME names the copying target; DEPENDS lists targets that make the files.
function(taviro_bundle_resources name)
  cmake_parse_arguments(ARG "" "DESTINATION" "FILES;DEPENDS" ${ARGN})
  set(folder "${TAVIRO_RESOURCES_DIR}")
  if(ARG_DESTINATION)
    set(folder "${folder}/${ARG_DESTINATION}")
  endif()
  set(outputs)
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(file_name "${file}" NAME)
    add_custom_command(OUTPUT "${folder}/${file_name}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${file}" "${folder}/${file_name}"
      DEPENDS "${file}" ${ARG_DEPENDS}
      VERBATIM)
    list(APPEND outputs "${folder}/${file_name}")
  endforeach()
  add_custom_target(${name} DEPENDS ${outputs})
  add_dependencies(taviro_bundle ${name})
endfunction()

# The recordings are written into Resources/WAVE by their own target; the bundle waits for it
# once the whole tree is configured, wherever that target is defined.
function(_taviro_bundle_depend_on_recordings)
  if(TARGET taviro_recordings)
    add_dependencies(taviro_bundle taviro_recordings)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY "${PROJECT_SOURCE_DIR}" CALL _taviro_bundle_depend_on_recordings)
