# Installation layout and the Debian package (cpack -G DEB). Glitchforge is a toy to play with
# games, so it installs as a game does on Debian: the program in games/, section "games", the
# manual page in section 6.
if(GLITCHFORGE_LOGIC_ONLY)
  return()  # nothing to install without the program
endif()
include(GNUInstallDirs)
set(app_id io.github.glitchforge.glitchforge)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS glitchforge RUNTIME DESTINATION games)
# CMake's strip leaves the compiler's .comment notes in; Debian's packages drop them.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/games/glitchforge\" COMMAND_ERROR_IS_FATAL ANY)
endif()")

install(FILES ${packaging}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/glitchforge-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${app_id}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/glitchforge.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${app_id}.svg)

# The manual page and the changelog are installed as Debian wants them: gzip -9 without a name
# or time stamp, so the same sources give the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
foreach(file glitchforge.6 changelog)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${packaging}/${file})
  execute_process(COMMAND ${GZIP_PROGRAM} -9n INPUT_FILE ${packaging}/${file}
                  OUTPUT_FILE ${PROJECT_BINARY_DIR}/${file}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/glitchforge.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${packaging}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glitchforge)

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
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/glitchforge/glitchforge")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
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
