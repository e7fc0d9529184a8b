# The Debian package: `cmake --build build --target package` or `cpack` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keytoner)
set(CPACK_PACKAGE_VENDOR "Keytoner developers")
set(CPACK_PACKAGE_CONTACT "Keytoner developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DTMF sender and programmer for the Tonesentinel v2 decoder")
set(CPACK_PACKAGE_DESCRIPTION
    "Keytoner sends DTMF sequences through the sound card, optionally keying a transmitter's\n\
PTT on a serial port's RTS line, reads and programs the configuration of the Tonesentinel v2\n\
DTMF decoder board over a serial port, keeps configurations in files and computes the\n\
sequences that replace the board's command codes over the air. keytoner-cli does the same\n\
jobs from scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Keytoner developers")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; what Qt loads at run time does not
# show up there: the window-system plugins (xcb, wayland) are in qt6-qpa-plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")

include(CPack)
