# The zip a Windows user unpacks to get the programs (`make windows-package`): kronax.exe and the
# window, kronax-config.exe, in bin, beside them the README with its pages in docs/, the licence
# and the manual, which is the --help of every command.
# The manual is written when the package is made, by running the program: under Wine in a
# cross-build, in the cross-build's own Wine prefix.
if(NOT TARGET kronax)
    return()
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME LICENSE.txt)
if(CMAKE_CROSSCOMPILING)
    set(wineRun ${PROJECT_SOURCE_DIR}/scripts/wine-run)
    set(winePrefix ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
install(CODE "
    execute_process(
        COMMAND \"${CMAKE_COMMAND}\" \"-DPROGRAM=$<TARGET_FILE:kronax>\" \"-DWINE_RUN=${wineRun}\"
                \"-DWINE_PREFIX=${winePrefix}\"
                \"-DOUTPUT=\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/kronax-manual.txt\"
                -P \"${PROJECT_SOURCE_DIR}/cmake/WriteManual.cmake\"
        COMMAND_ERROR_IS_FATAL ANY)")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kronax)
# Named by the full version the programs print, so that two builds' zips never take each other's
# name.
set(CPACK_PACKAGE_VERSION ${KRONAX_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
