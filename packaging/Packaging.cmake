# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local      install into a prefix
#   cpack --config build/CPackConfig.cmake -B out  out/transmission-ratio_<version>_<arch>.deb
#
# Installs the program into bin/, its desktop entry into share/applications,
# its AppStream metadata into share/metainfo, its icons into the hicolor
# theme, its manual page in English and Chinese into share/man, and the
# copyright file and changelog into share/doc/transmission-ratio. The
# package's dependencies are those that dpkg-shlibdeps finds in the binary
# (the Qt libraries; libqt6gui6 also holds the xcb platform plugin), plus
# what the program loads only at run time: Qt's Chinese translations and a
# font that covers GB2312 text.
# Included from the top-level CMakeLists.txt when the window is built.

include(GNUInstallDirs)

# The project has no domain of its own yet: the reserved .invalid domain
# stands in for it in the AppStream id (which names the desktop entry too),
# the package's contact address and the metadata's URLs.
set(TR_APP_ID invalid.transmission_ratio.transmission_ratio)
set(_tr_packaging ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS transmission-ratio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_tr_packaging}/${TR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_tr_packaging}/${TR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(_tr_icons ${PROJECT_SOURCE_DIR}/app/icons)
foreach(_tr_size IN ITEMS 16 32 48)
  install(FILES ${_tr_icons}/transmission-ratio-${_tr_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_tr_size}x${_tr_size}/apps
          RENAME transmission-ratio.png)
endforeach()
install(FILES ${_tr_icons}/transmission-ratio.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the changelog are installed compressed, as Debian wants
# them: gzip -9 without name or time stamp, so every build makes the same
# bytes.
find_program(TR_GZIP gzip REQUIRED)
set(_tr_compressed ${PROJECT_BINARY_DIR}/packaging)
set(_tr_compressed_files)
# Compresses SOURCE into ${_tr_compressed}/SUBDIR/NAME.gz and installs it
# into DESTINATION.
function(_tr_install_compressed source subdir name destination)
  set(copy ${_tr_compressed}/${subdir}/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${TR_GZIP} -9nf ${copy}
    DEPENDS ${source}
    COMMENT "Compressing ${subdir}/${name}"
    VERBATIM)
  set(_tr_compressed_files ${_tr_compressed_files} ${copy}.gz PARENT_SCOPE)
  install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()

_tr_install_compressed(${_tr_packaging}/man/transmission-ratio.1
                       man transmission-ratio.1 ${CMAKE_INSTALL_MANDIR}/man1)
_tr_install_compressed(${_tr_packaging}/man/transmission-ratio.zh_CN.1
                       man/zh_CN transmission-ratio.1 ${CMAKE_INSTALL_MANDIR}/zh_CN/man1)
# The package is native (the project builds it itself, and the changelog is
# both the program's and the package's), so Debian names it changelog.gz.
_tr_install_compressed(${_tr_packaging}/changelog
                       doc changelog ${CMAKE_INSTALL_DATADIR}/doc/transmission-ratio)
add_custom_target(compressed-docs ALL DEPENDS ${_tr_compressed_files})
install(FILES ${_tr_packaging}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/transmission-ratio)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME transmission-ratio)
set(CPACK_PACKAGE_VENDOR "Velnor")
set(CPACK_PACKAGE_CONTACT "Velnor <maintainer@transmission-ratio.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "transmission ratio calculator for drive design (传动比计算)")
# Debian's form: lines under 80 characters; CPack indents them by one space.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A single-window desktop calculator for mechanical drive design. It computes"
  "a drive's transmission ratio, the input shaft's speed divided by the output"
  "shaft's, from speeds given in rev/min, in rad/s, or as a surface speed in m/s"
  "with the shaft diameter in mm, and shows it in a message box."
  ""
  "The interface is in Simplified Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to dpkg-shlibdeps: Qt's Chinese
# translations (qtbase_zh_CN.qm), and the Song face or a substitute for the
# Chinese captions.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-arphic-gbsn00lp | fonts-noto-cjk")

include(CPack)
