# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local      install into a prefix
#   cpack --config build/CPackConfig.cmake -B out  out/transmission-ratio_<version>_<arch>.deb
#
# Installs the program into bin/, its desktop entry into share/applications
# and its icons into the hicolor theme. The package's dependencies are those
# that dpkg-shlibdeps finds in the binary (the Qt libraries; libqt6gui6 also
# holds the xcb platform plugin), plus what the program loads only at run
# time: Qt's Chinese translations and a font that covers GB2312 text.
# Included from the top-level CMakeLists.txt when the window is built.

include(GNUInstallDirs)

install(TARGETS transmission-ratio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/transmission-ratio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(_tr_icons ${PROJECT_SOURCE_DIR}/app/icons)
foreach(_tr_size IN ITEMS 16 32 48)
  install(FILES ${_tr_icons}/transmission-ratio-${_tr_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_tr_size}x${_tr_size}/apps
          RENAME transmission-ratio.png)
endforeach()
install(FILES ${_tr_icons}/transmission-ratio.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME transmission-ratio)
set(CPACK_PACKAGE_VENDOR "Velnor")
set(CPACK_PACKAGE_CONTACT "Velnor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "transmission ratio calculator for drive design (传动比计算)")
set(CPACK_PACKAGE_DESCRIPTION "A single-window desktop calculator that computes a drive's \
transmission ratio, the input shaft's speed divided by the output shaft's, from speeds \
given in rev/min, in rad/s, or as a surface speed in m/s with the shaft diameter in mm. \
The interface is Simplified Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to dpkg-shlibdeps: Qt's Chinese
# translations (qtbase_zh_CN.qm), and the Song face or a substitute for the
# Chinese captions.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-arphic-gbsn00lp | fonts-noto-cjk")

include(CPack)
