# What `cmake --install` puts where, and the Debian package that `make package` builds from it.
# The plug-in and the program are installed by their own folders' rules.

set(TESSARANTH_MAINTAINER "Tessaranth developers <maintainers@tessaranth.invalid>" CACHE STRING
    "The package's maintainer, a name and an address")
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

install(FILES README.md docs/hardware.md ${packaging}/copyright DESTINATION ${TESSARANTH_DOC_DIR})
install(FILES ${packaging}/service.env DESTINATION ${TESSARANTH_DOC_DIR}/examples)

# The user service names the program by its full path, and the manual page the documents and the
# plug-in by theirs, which are only known when installing (cmake --install --prefix, or the
# package's /usr): both are written then, the manual page from the program's own help texts.
set(unit ${PROJECT_BINARY_DIR}/packaging/tessaranth.service)
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
    execute_process(COMMAND \"${CMAKE_COMMAND}\" \"-DPROGRAM=$<TARGET_FILE:tessaranth>\" \"-DEMULATOR=${emulator}\" -DVERSION=${PROJECT_VERSION}
                            -DDOCDIR=\${TESSARANTH_DOCDIR} -DPLUGINDIR=\${TESSARANTH_PLUGINDIR} -DOUTPUT=${manPage}
                            -P \"${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake\"
                    COMMAND_ERROR_IS_FATAL ANY)
")
install(FILES ${unit} DESTINATION lib/systemd/user)
install(FILES ${manPage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# A Debian changelog, compressed as Debian's tools compress it (no name, no time stamp).
set(CPACK_PACKAGE_CONTACT ${TESSARANTH_MAINTAINER})
string(TIMESTAMP TESSARANTH_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${packaging}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TESSARANTH_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaranth)
set(CPACK_PACKAGE_VENDOR "the Tessaranth developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graphic LCD and VFD display for music players")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaranth turns a small graphic LCD or VFD into a second screen for a music
player: title, artist, time and track information, play status, a spectrum
analyzer, an oscilloscope, a VU meter and a playlist. It drives T6963C,
SED1330/SED1335 and KS0108B LCDs and Noritake 800-series VFDs on the parallel
port, and the USB2LCD adapter over USB.
.
The program tessaranth hosts the vis_lumidra visualisation plug-in, follows
MPD and drives the display, or shows it on a virtual display; a systemd user
unit runs it as a service.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program and the plug-in link, from dpkg-shlibdeps; the USB adapter's library
# is loaded only when that adapter is chosen.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libftdi1-2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mpd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Install with the package's own prefix and a staging DESTDIR, so that the unit names /usr/bin.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
