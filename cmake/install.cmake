# What `make install` puts under the prefix:
#   the game:     bin/splosh, its media under share/splosh/Media/, a desktop
#                 entry and its icon;
#   the runtime:  lib/libvelmora.a and lib/libvelmora_entry.a, the headers
#                 under include/velmora/, the CMake package Velmora and
#                 velmora.pc, for programs of one's own;
#   and share/splosh/install_manifest.txt, the list `make uninstall` removes.
include(CMakePackageConfigHelpers)

set(VELMORA_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)
set(VELMORA_MANIFEST ${CMAKE_INSTALL_DATADIR}/splosh/install_manifest.txt)

# ---- The game -----------------------------------------------------------------
# The game looks for its media in ../share/splosh/Media when none lie beside it.
install(TARGETS splosh RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY game/media/gfx game/media/sfx DESTINATION ${CMAKE_INSTALL_DATADIR}/splosh/Media)
install(FILES game/splosh.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES game/media/splosh.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# ---- The runtime --------------------------------------------------------------
set_target_properties(velmora_entry PROPERTIES EXPORT_NAME entry)
install(TARGETS velmora velmora_entry EXPORT VelmoraTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# Every header by pattern, so folders that are added later come along.
install(DIRECTORY runtime/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velmora FILES_MATCHING PATTERN "*.h")
install(EXPORT VelmoraTargets NAMESPACE Velmora:: DESTINATION ${VELMORA_PACKAGE_DIR})

# A sanitizer build's library needs the sanitizer runtimes in every program.
if(VELMORA_SANITIZE)
  target_link_options(velmora INTERFACE -fsanitize=address,undefined)
endif()

# The runtime is a static library, so its users link its dependencies too.
# They are read from what the runtime links: the package finds each again the
# way this build did (find_package, or pkg-config with the same modules), and
# velmora.pc names them as pkg-config modules.
set(VELMORA_PC_MODULE_PNG__PNG libpng)
set(VELMORA_PC_MODULE_JPEG__JPEG libjpeg)
set(VELMORA_PC_MODULE_ZLIB__ZLIB zlib)
set(VELMORA_PC_MODULE_OpenGL__GL gl)
set(VELMORA_PC_MODULE_OpenGL__OpenGL opengl)
set(VELMORA_PC_MODULE_OpenGL__GLX glx)
set(VELMORA_PC_MODULE_X11__X11 x11)
set(VELMORA_PC_MODULE_SDL2__SDL2 sdl2)
set(VELMORA_PC_MODULE_SDL2_mixer__SDL2_mixer SDL2_mixer)

function(velmora_collect_dependencies)
  set(find_lines "")
  set(requires "")
  set(libs "")
  get_target_property(items velmora INTERFACE_LINK_LIBRARIES)
  foreach(item IN LISTS items)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    if(item MATCHES "^::@" OR item STREQUAL "")
      # Markers of links made from other folders; not libraries.
      continue()
    elseif(item MATCHES "^PkgConfig::(.+)$")
      set(prefix ${CMAKE_MATCH_1})
      # The modules exactly as this build asked pkg-config for them.
      set(modules ${__pkg_config_arguments_${prefix}})
      list(REMOVE_ITEM modules REQUIRED QUIET IMPORTED_TARGET GLOBAL NO_CMAKE_PATH NO_CMAKE_ENVIRONMENT_PATH)
      if(NOT modules)
        message(FATAL_ERROR "install: no pkg-config modules recorded for ${item}")
      endif()
      list(JOIN modules " " module_text)
      list(APPEND find_lines "velmora_find_modules(${prefix} ${module_text})")
      list(APPEND requires ${modules})
    elseif(item STREQUAL "Threads::Threads")
      list(APPEND find_lines "find_dependency(Threads)")
      list(APPEND libs -pthread)
    elseif(item MATCHES "^([A-Za-z0-9_]+)::")
      list(APPEND find_lines "find_dependency(${CMAKE_MATCH_1})")
      string(REPLACE "::" "__" key "${item}")
      if(NOT DEFINED VELMORA_PC_MODULE_${key})
        message(FATAL_ERROR "install: velmora.pc needs the pkg-config module of ${item} (cmake/install.cmake)")
      endif()
      list(APPEND requires ${VELMORA_PC_MODULE_${key}})
    elseif(item MATCHES "^-")
      list(APPEND libs ${item})
    else()
      list(APPEND libs -l${item})
    endif()
  endforeach()
  if(VELMORA_SANITIZE)
    list(APPEND libs -fsanitize=address,undefined)
  endif()
  list(REMOVE_DUPLICATES find_lines)
  list(REMOVE_DUPLICATES requires)
  list(REMOVE_DUPLICATES libs)
  list(JOIN find_lines "\n" find_lines)
  list(JOIN requires " " requires)
  list(JOIN libs " " libs)
  set(VELMORA_FIND_DEPENDENCIES "${find_lines}" PARENT_SCOPE)
  set(VELMORA_PC_REQUIRES "${requires}" PARENT_SCOPE)
  set(VELMORA_PC_LIBS "${libs}" PARENT_SCOPE)
endfunction()
velmora_collect_dependencies()

configure_file(cmake/VelmoraConfig.cmake.in VelmoraConfig.cmake @ONLY)
write_basic_package_version_file(VelmoraConfigVersion.cmake VERSION ${PROJECT_VERSION}
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake ${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
        DESTINATION ${VELMORA_PACKAGE_DIR})

# velmora.pc finds the prefix from its own place, so the prefix can be chosen
# at install time (cmake --install --prefix).
file(RELATIVE_PATH VELMORA_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" VELMORA_PC_TO_PREFIX "${VELMORA_PC_TO_PREFIX}")
configure_file(cmake/velmora.pc.in velmora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velmora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# ---- Last: the manifest ---------------------------------------------------------
# Every file installed so far, relative to the prefix, so that `make uninstall`
# removes exactly those (and the manifest itself).
install(CODE "set(VELMORA_MANIFEST \"${VELMORA_MANIFEST}\")")
install(CODE [[
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(lines "")
  foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
    file(RELATIVE_PATH relative "${root}" "${file}")
    string(APPEND lines "${relative}\n")
  endforeach()
  string(APPEND lines "${VELMORA_MANIFEST}\n")
  message(STATUS "Installing: ${root}/${VELMORA_MANIFEST}")
  file(WRITE "${root}/${VELMORA_MANIFEST}" "${lines}")
]])
