# Installation layout and the Debian package (cpack -G DEB).
if(GLITCHFORGE_LOGIC_ONLY)
  return()  # nothing to install without the program
endif()
include(GNUInstallDirs)

install(TARGETS glitchforge RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/glitchforge.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/glitchforge-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME glitchforge.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/glitchforge.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glitchforge)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Glitchforge")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "makes damaged copies of game ROM images and starts an emulator on them")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_NAME glitchforge)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Glitchforge developers <glitchforge@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Glitchforge copies a video-game ROM or disc image, alters a chosen byte
range of the copy (random bytes, random bytes from a value range, a
constant added, or the range rotated; all bytes, every n-th byte or
those a mask selects) and starts the user's emulator on the result.
Auto mode walks the damage through the image one block at a time.")
# The libraries come from dpkg-shlibdeps; the X11 platform plugin is loaded
# at run time, so no library dependency names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
include(CPack)
