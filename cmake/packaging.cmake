# Installing Halvane like a desktop application: menu entries, themed icons, manual pages, and a Debian
# package built with CPack. The programs and pictures are installed by their own folders.
include(GNUInstallDirs)

# Where the installed programs look for their pictures when neither the current directory nor the folder
# beside the executable has them.
target_compile_definitions(halvane_app PRIVATE
  HALVANE_INSTALLED_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/halvane")

# The strength levels as the manual pages and the package's description name them.
set(programs)
set(synopsis)
set(words)
set(usi_options)
list(LENGTH HALVANE_STRENGTHS count)
set(index 0)
foreach(name IN LISTS HALVANE_STRENGTHS)
  set(word ${HALVANE_STRENGTH_WORD_${name}})
  math(EXPR index "${index} + 1")
  list(APPEND programs halvane-${name})
  list(APPEND synopsis ".B halvane-${name}")
  if(index EQUAL 1)
    list(APPEND words "${word} (weakest)")
    list(APPEND usi_options ".B ${name}\n(${word}, weakest)")
  elseif(index EQUAL count)
    list(APPEND words "and ${word} (strongest)")
    list(APPEND usi_options "or\n.B ${name}\n(${word}, strongest, SEMICOLON the default).")
  else()
    list(APPEND words "${word}")
    list(APPEND usi_options ".B ${name}\n(${word})")
  endif()
endforeach()
list(JOIN programs ", " STRENGTH_PROGRAMS)
list(JOIN synopsis "\n.br\n" STRENGTH_SYNOPSIS)
list(JOIN words ", " STRENGTH_WORDS)
string(REPLACE ", and " " and " STRENGTH_WORDS "${STRENGTH_WORDS}")
list(JOIN usi_options ",\n" USI_STRENGTHS)
string(REPLACE ",\nor\n" " or\n" USI_STRENGTHS "${USI_STRENGTHS}")
string(REPLACE ", SEMICOLON" ";" USI_STRENGTHS "${USI_STRENGTHS}")
set(STRENGTH_COUNT_WORD ${HALVANE_STRENGTH_COUNT_WORD})
string(SUBSTRING ${STRENGTH_COUNT_WORD} 0 1 first)
string(SUBSTRING ${STRENGTH_COUNT_WORD} 1 -1 rest)
string(TOUPPER ${first} first)
set(STRENGTH_COUNT_WORD_CAPITAL ${first}${rest})

if(HALVANE_BUILD_GUI)
  foreach(name IN LISTS HALVANE_STRENGTHS)
    set(NAME ${name})
    set(WORD ${HALVANE_STRENGTH_WORD_${name}})
    set(PLACE ${HALVANE_STRENGTH_PLACE_${name}})
    configure_file(${CMAKE_SOURCE_DIR}/res/desktop/halvane.desktop.in
                   ${CMAKE_BINARY_DIR}/desktop/halvane-${name}.desktop @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/desktop/halvane-${name}.desktop
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
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shogi (Japanese chess) against the computer, in ${STRENGTH_COUNT_WORD} strengths")
set(CPACK_PACKAGE_DESCRIPTION "Halvane is a desktop shogi program: one human plays the computer on a 9x9 board
with both hands, with a game record that steps back and forth and KIF files. Its menus and messages are
Japanese. ${STRENGTH_COUNT_WORD_CAPITAL} programs differ only in strength (${STRENGTH_PROGRAMS});
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
