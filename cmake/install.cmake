# What `cmake --install` puts under the prefix and `make package` wraps in a Debian package:
# every command, a manual page per command, the desktop entry, the icon and the README.
include(GNUInstallDirs)

install(TARGETS ${TARVO_COMMANDS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages: every man/*.1, with the version filled in, compressed as Debian keeps them.
file(GLOB TARVO_MAN_PAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/man/*.1)
set(TARVO_MAN_OUTPUTS)
foreach(page ${TARVO_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  set(filled ${CMAKE_BINARY_DIR}/man/${name})
  configure_file(${page} ${filled} @ONLY)
  add_custom_command(OUTPUT ${filled}.gz COMMAND gzip -9nkf ${filled} DEPENDS ${filled} VERBATIM)
  list(APPEND TARVO_MAN_OUTPUTS ${filled}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${TARVO_MAN_OUTPUTS})
install(FILES ${TARVO_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${CMAKE_SOURCE_DIR}/data/tarvo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/tarvo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# An empty stored list, so an installed program starts without "file missing"; the user's own
# list in ~/.config/tarvo replaces it with the first stored entry.
install(FILES ${CMAKE_SOURCE_DIR}/data/freqlist.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvo)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvo)

set(TARVO_PACKAGE_CONTACT "Tarvo maintainers <maintainers@tarvo.invalid>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TARVO_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "follows 850 MHz MCA trunked radio systems and steers a receiver to calls")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvo decodes the control channel of 850 MHz analog MCA trunked radio systems (McAccess \
and JSMR) from a receiver's discriminator audio, shows what it announces and commands the \
receiver over RS-232 to each admitted call and back. tarvo-decode decodes WAV recordings, \
tarvo-tune checks a receiver cable, tarvo-track follows a system without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, but needed: Japanese captions, PortAudio's way to PulseAudio/PipeWire, Qt's X11
# and Wayland platform plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, libasound2-plugins, qt6-qpa-plugins")
# Opened only for the Hamlib receiver model, so wanted rather than required.
if(TARVO_HAMLIB_SONAME MATCHES "^libhamlib\\.so\\.([0-9]+)$")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libhamlib${CMAKE_MATCH_1}")
endif()
include(CPack)
