# SPDX-License-Identifier: GPL-2.0-or-later
# What `cmake --install` puts where, and the Debian packages that `make package` builds from it:
# tessaranth (the program, the plug-in, the documents, the units: nothing graphical) and, built
# with Qt, tessaranth-dialog (the modules that draw with Qt: the plug-in's dialog and the
# program's window, component "dialog"). The plug-in, the program and the modules are installed
# by their own folders' rules.

set(TESSARANTH_MAINTAINER "Tessaranth developers <maintainers@tessaranth.invalid>" CACHE STRING
    "The package's maintainer, a name and an address")
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

install(FILES README.md docs/hardware.md ${packaging}/copyright DESTINATION ${TESSARANTH_DOC_DIR})
install(FILES ${packaging}/service.env DESTINATION ${TESSARANTH_DOC_DIR}/examples)
set(dialogDocDir ${CMAKE_INSTALL_DATAROOTDIR}/doc/tessaranth-dialog)
if(TESSARANTH_QT)
    install(FILES ${packaging}/copyright DESTINATION ${dialogDocDir} COMPONENT dialog)
endif()

# The services name the program by its full path, and the manual page the documents and the
# plug-in by theirs, which are only known when installing (cmake --install --prefix, or the
# package's /usr): all are written then, the manual page from the program's own help texts.
set(unit ${PROJECT_BINARY_DIR}/packaging/tessaranth.service)
set(systemUnit ${PROJECT_BINARY_DIR}/packaging/system/tessaranth.service)
set(manPage ${PROJECT_BINARY_DIR}/packaging/tessaranth.1)
# A cross-built program tells its help under qemu-user.
list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
install(CODE "
    set(TESSARANTH_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    set(TESSARANTH_DOCDIR \"${TESSARANTH_DOC_DIR}\")
    set(TESSARANTH_PLUGINDIR \"${TESSARANTH_PLUGIN_DIR}\")
    foreach(dir TESSARANTH_BINDIR TESSARANTH_DOCDIR TESSARANTH_PLUGINDIR)
        cmake_path(ABSOLUTE_PATH \${dir} BASE_DIRECTORY \"\${CMAKE_INSTALL_PREFIX}\")
    endforeach()
    configure_file(\"${packaging}/tessaranth.service.in\" \"${unit}\" @ONLY)
    configure_file(\"${packaging}/tessaranth-system.service.in\" \"${systemUnit}\" @ONLY)
    execute_process(COMMAND \"${CMAKE_COMMAND}\" \"-DPROGRAM=$<TARGET_FILE:tessaranth>\" \"-DEMULATOR=${emulator}\" -DVERSION=${PROJECT_VERSION}
                            -DDOCDIR=\${TESSARANTH_DOCDIR} -DPLUGINDIR=\${TESSARANTH_PLUGINDIR} -DOUTPUT=${manPage}
                            -P \"${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake\"
                    COMMAND_ERROR_IS_FATAL ANY)
")
install(FILES ${unit} DESTINATION lib/systemd/user)
# Installed, not enabled: the system service for a machine where nobody logs in, as the system
# user that the package's postinst makes.
install(FILES ${systemUnit} DESTINATION lib/systemd/system)
install(FILES ${manPage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# A Debian changelog, compressed as Debian's tools compress it (no name, no time stamp).
set(CPACK_PACKAGE_CONTACT ${TESSARANTH_MAINTAINER})
string(TIMESTAMP TESSARANTH_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${packaging}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TESSARANTH_DOC_DIR})
if(TESSARANTH_QT)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${dialogDocDir} COMPONENT dialog)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tessaranth)
if(TESSARANTH_QT)
    list(APPEND CPACK_COMPONENTS_ALL dialog)
endif()
set(CPACK_PACKAGE_NAME tessaranth)
set(CPACK_DEBIAN_TESSARANTH_PACKAGE_NAME tessaranth)
set(CPACK_DEBIAN_DIALOG_PACKAGE_NAME tessaranth-dialog)
set(CPACK_DEBIAN_PACKAGE_SOURCE tessaranth)
set(CPACK_PACKAGE_VENDOR "the Tessaranth developers")
set(CPACK_DEBIAN_TESSARANTH_DESCRIPTION "graphic LCD and VFD display for music players
Tessaranth turns a small graphic LCD or VFD into a second screen for a music
player: title, artist, time and track information, play status, a spectrum
analyzer, an oscilloscope, a VU meter and a playlist. It drives T6963C,
SED1330/SED1335 and KS0108B LCDs and Noritake 800-series VFDs on the parallel
port, and the USB2LCD adapter over USB.
.
The program tessaranth hosts the vis_lumidra visualisation plug-in, follows
MPD or a desktop player and drives the display, or shows it on a virtual
display in the terminal or as pictures. A systemd user unit runs it as a
service, and a system unit (not enabled) runs it from boot on a machine
without logins. Nothing of it is graphical: the configuration dialog and the
window are in tessaranth-dialog.")
set(CPACK_DEBIAN_DIALOG_DESCRIPTION "graphic LCD and VFD display for music players - dialog and window
Tessaranth turns a small graphic LCD or VFD into a second screen for a music
player.
.
This package holds what Tessaranth draws with Qt: the plug-in's configuration
dialog (tessaranth config, or Configure in a player) and the window that
shows the virtual display on a desktop. A machine without a screen needs
neither; it is set up with tessaranth config --set.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries each package's files link, from dpkg-shlibdeps, and what its files need besides:
# the program's package makes its system user with adduser; the dialog's loads into the plug-in
# of the same version. The USB adapter's library is loaded only when that adapter is chosen.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_TESSARANTH_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_DIALOG_PACKAGE_DEPENDS "tessaranth (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_TESSARANTH_PACKAGE_RECOMMENDS "libftdi1-2")
set(CPACK_DEBIAN_TESSARANTH_PACKAGE_SUGGESTS "mpd, tessaranth-dialog")
set(CPACK_DEBIAN_TESSARANTH_PACKAGE_CONTROL_EXTRA "${packaging}/postinst;${packaging}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Install with the package's own prefix and a staging DESTDIR, so that the unit names /usr/bin.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
