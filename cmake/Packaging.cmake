# Installation beyond the programs and the data files: the desktop entry and
# icon, the QEV's udev rule; and the Debian package (`make package`).
set(KELM_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(FILES ${KELM_PACKAGING_DIR}/kelm-programmer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KELM_PACKAGING_DIR}/kelm-programmer.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# udev reads /usr/lib/udev/rules.d; it is not below lib64 or a multiarch folder.
install(FILES ${KELM_PACKAGING_DIR}/60-kelm-qev.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelm-programmer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VORN Electronics AB")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configures the KELM door alarm transmitter through the QEV USB interface")
set(CPACK_PACKAGE_DESCRIPTION
    "The editor window kelm-programmer, the command-line tool kelm and the simulator kelm-sim, with the QEV's udev rule.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KELM Programmer maintainers <kelm@vorn.se>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin; the libraries come from shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${KELM_PACKAGING_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
