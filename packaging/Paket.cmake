# What `cmake --install` and the Debian package (cpack -G DEB, run by
# scripts/package) put where.
set(_ziel ${TASTARO_INSTALL_DIR})
install(TARGETS Tastaro RUNTIME DESTINATION ${_ziel})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${_ziel})
# beside the program, for the desktop shortcut it makes
install(FILES ${CMAKE_SOURCE_DIR}/packaging/at.tastaro.Tastaro.desktop DESTINATION ${_ziel})

set(_paket ${CMAKE_BINARY_DIR}/paket)
file(MAKE_DIRECTORY ${_paket})
# /usr/bin/tastaro: a link to the program in its folder
file(CREATE_LINK /${_ziel}/Tastaro ${_paket}/tastaro SYMBOLIC)
install(FILES ${_paket}/tastaro DESTINATION usr/bin)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/at.tastaro.Tastaro.desktop DESTINATION usr/share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tastaro.svg DESTINATION usr/share/icons/hicolor/scalable/apps)
configure_file(${CMAKE_SOURCE_DIR}/packaging/at.tastaro.Tastaro.metainfo.xml
  ${_paket}/at.tastaro.Tastaro.metainfo.xml @ONLY)
install(FILES ${_paket}/at.tastaro.Tastaro.metainfo.xml DESTINATION usr/share/metainfo)
configure_file(${CMAKE_SOURCE_DIR}/packaging/tastaro.1 ${_paket}/tastaro.1 @ONLY)
execute_process(COMMAND gzip -9nf ${_paket}/tastaro.1)
install(FILES ${_paket}/tastaro.1.gz DESTINATION usr/share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tastaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tastaro)
set(CPACK_PACKAGE_CONTACT "Tastaro <kontakt@tastaro.at>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Tastaturtrainer für das Zehnfingersystem, mit Ton und Sprache für blinde Menschen")
set(CPACK_PACKAGE_DESCRIPTION
  "Tastaro übt das Zehnfingersystem Zeile für Zeile. Alles ist mit der Tastatur erreichbar,\n\
jedes Ereignis hat einen Ton, und Zeile, getippter Text und Zeichen werden über den\n\
Screenreader (Orca) oder eine Sprachausgabe gesprochen.")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.tastaro.at/)
# Libraries linked into the binaries are found by dpkg-shlibdeps; what is
# loaded at run time (speech, sound, Qt's plugins, the training font) is named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libspeechd2, libespeak-ng1, espeak-ng, speech-dispatcher, speech-dispatcher-espeak-ng, libpulse0, \
qt6-qpa-plugins, qt6-translations-l10n, libqt6svg6, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, \
gstreamer1.0-pulseaudio, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "orca")
include(CPack)
