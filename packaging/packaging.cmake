# Where an install puts the tool, and the Debian package made from it (cpack -G DEB
# in a Release build folder).
#
#   /usr/lib/zav/zav, zavctl     the programs: Help and zav.ini are looked for beside
#                                the running executable, whose path Qt resolves
#                                through the links in /usr/bin
#   /usr/lib/zav/*.chm           links to the help files in /usr/share/zav/help
#   /usr/bin/zav, zavctl         links to the programs
#   /usr/bin/zav-sim             the simulator; its profiles in /usr/share/zav-sim/profiles
#   /usr/share/applications, /usr/share/icons/hicolor, /usr/share/man/man1

set(ZAV_HELP_NAMES helpZAV.chm ayudaZAV.chm ayudajq.chm AideZAV.chm)

install(TARGETS zav RUNTIME DESTINATION lib/zav)
if(TARGET zavctl)
  install(TARGETS zavctl RUNTIME DESTINATION lib/zav)
endif()
if(TARGET zav-sim)
  install(TARGETS zav-sim RUNTIME DESTINATION bin)
endif()

set(zav_links "bin/zav=../lib/zav/zav")
if(TARGET zavctl)
  list(APPEND zav_links "bin/zavctl=../lib/zav/zavctl")
endif()
if(ZAV_HELP)
  foreach(name ${ZAV_HELP_NAMES})
    install(FILES ${PROJECT_BINARY_DIR}/${name} DESTINATION share/zav/help)
    list(APPEND zav_links "lib/zav/${name}=../../share/zav/help/${name}")
  endforeach()
endif()
# Relative links, so the same tree works under any prefix and in the package.
install(CODE "set(zav_links \"${zav_links}\")")
install(CODE [[
  foreach(link ${zav_links})
    string(REPLACE "=" ";" pair "${link}")
    list(GET pair 0 name)
    list(GET pair 1 target)
    set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${name}")
    get_filename_component(folder "${path}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    message(STATUS "Installing: ${path} -> ${target}")
    file(CREATE_LINK "${target}" "${path}" SYMBOLIC)
  endforeach()
]])

install(FILES ${CMAKE_CURRENT_LIST_DIR}/zav.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/zav.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/zav-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME zav.png)
endforeach()

# Manual pages go compressed, as Debian wants them.
find_program(ZAV_GZIP gzip REQUIRED)
set(zav_manpages)
foreach(page zav zavctl zav-sim)
  set(out ${PROJECT_BINARY_DIR}/man/${page}.1)
  add_custom_command(
    OUTPUT ${out}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/man/${page}.1 ${out}
    COMMAND ${ZAV_GZIP} -9 -n -f ${out}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/man/${page}.1
    VERBATIM)
  list(APPEND zav_manpages ${out}.gz)
endforeach()
add_custom_target(zav_manpages ALL DEPENDS ${zav_manpages})
install(FILES ${zav_manpages} DESTINATION share/man/man1)

# What Debian wants beside every package: a machine-readable copyright file and the
# package's change log, compressed.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(zav_changelog ${PROJECT_BINARY_DIR}/doc/changelog.Debian)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian.in ${zav_changelog} @ONLY)
add_custom_command(
  OUTPUT ${zav_changelog}.gz
  COMMAND ${ZAV_GZIP} -9 -n -k -f ${zav_changelog}
  DEPENDS ${zav_changelog}
  VERBATIM)
add_custom_target(zav_changelog ALL DEPENDS ${zav_changelog}.gz)
install(FILES ${zav_changelog}.gz ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION share/doc/zav)
# What Debian's checker reports that does not apply to a package made outside Debian.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION share/lintian/overrides RENAME zav)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zav)
set(CPACK_PACKAGE_VENDOR "ZAV")
set(CPACK_PACKAGE_CONTACT "ZAV tool maintainers <zav-tool@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for ZAV beacon-lantern controllers")
# The long description, a line at a time as the control file wants it.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Connects a PC to a ZAV lantern controller over a serial port: identifies it,"
  "reads, edits and writes its parameters, keeps them in parameter files,"
  "watches its live state, sends direct commands and edits the colour sectors"
  "of a segmented light. Includes the command-line tool zavctl, the controller"
  "simulator zav-sim and the technician's manual in English, Spanish and French.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries (serial port, widgets, the xcb platform plugin in libqt6gui6)
# come from the binaries' own needs; dpkg-shlibdeps (dpkg-dev) works them out.
# The window's face is a font the binaries cannot name, so it is listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-crosextra-carlito)
# Help opens with xchm; the tool runs without it and says so when Help is pressed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xchm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
