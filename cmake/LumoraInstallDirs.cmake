# Where an installation puts things. Windows keeps everything in one folder beside lumora.exe
# (what windeployqt expects); Linux follows the file system hierarchy: the program in bin/, its
# data (first-run defaults, translations) in share/lumora/. The program finds its data from its
# own folder through the relative path written into core/buildconfig.h, so any prefix works.

include(GNUInstallDirs)

if(WIN32)
    set(LUMORA_INSTALL_BINDIR bin)
    set(LUMORA_INSTALL_DATADIR bin)
else()
    set(LUMORA_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
    set(LUMORA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/lumora)
endif()

file(RELATIVE_PATH LUMORA_DATA_DIR_FROM_BIN
    /prefix/${LUMORA_INSTALL_BINDIR} /prefix/${LUMORA_INSTALL_DATADIR})
if(LUMORA_DATA_DIR_FROM_BIN STREQUAL "")
    set(LUMORA_DATA_DIR_FROM_BIN .)
endif()
