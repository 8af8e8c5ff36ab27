# Installation and the Debian package (make package). The programs go to bin, the menu entry, the
# icon and the MIME type of room-type files to share; settings are then kept in the user's configuration folder, as the program
# folder takes no files.
include(GNUInstallDirs)

foreach(program roomcfg roomcfg-cli roombus-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET roomcfg AND UNIX)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/roomcfg.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/src/gui/resources/app.xpm
          DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME roomcfg.xpm)
  # The type the menu entry declares; the package system's trigger updates the MIME database.
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/roomcfg-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME roomcfg.xml)
endif()

set(CPACK_PACKAGE_NAME roomcfg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Room types and commissioning of hotel guest-room control devices")
set(CPACK_PACKAGE_CONTACT "roomcfg maintainers <roomcfg@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The Qt and C++ libraries the programs link, as dpkg-shlibdeps finds them; Qt's Chinese texts
# and a Chinese font are not linked but the windows need them; a shared record on a PostgreSQL
# server needs Qt's driver for it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, libqt6sql6-sqlite, libqt6sql6-psql, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
