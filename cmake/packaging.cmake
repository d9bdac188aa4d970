# Installing Halvane like a desktop application: menu entries, themed icons, manual pages, and a Debian
# package built with CPack. The programs and pictures are installed by their own folders.
include(GNUInstallDirs)

# Where the installed programs look for their pictures when neither the current directory nor the folder
# beside the executable has them.
target_compile_definitions(halvane_app PRIVATE
  HALVANE_INSTALLED_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/halvane")

if(HALVANE_BUILD_GUI)
  foreach(strength chuukara karakuchi gekikara)
    install(FILES ${CMAKE_SOURCE_DIR}/res/desktop/halvane-${strength}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  endforeach()
  foreach(size 16 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/res/icons/halvane-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME halvane.png)
    install(FILES ${CMAKE_SOURCE_DIR}/res/icons/halvane-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/halvane/icons)
  endforeach()
endif()
foreach(program halvane-usi halvane-kif)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# The manual pages carry the project's version, written in at configure time.
foreach(page halvane halvane-usi halvane-kif)
  configure_file(${CMAKE_SOURCE_DIR}/doc/${page}.6.in ${CMAKE_BINARY_DIR}/doc/${page}.6 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/doc/${page}.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Halvane developers <halvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shogi (Japanese chess) against the computer, in three strengths")
set(CPACK_PACKAGE_DESCRIPTION "Halvane is a desktop shogi program: one human plays the computer on a 9x9 board
with both hands, with a game record that steps back and forth and KIF files. Its menus and messages are
Japanese. Three programs differ only in strength (halvane-chuukara, halvane-karakuchi, halvane-gekikara);
halvane-usi speaks the USI protocol for other shogi software and halvane-kif checks and writes KIF records.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_STRIP_FILES TRUE)            # debugging symbols stay in the build
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)   # the Qt 6 runtime and the C++ library, read off the binaries
# The window's Japanese texts need a Japanese font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk")
# Qt's own buttons and file dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
