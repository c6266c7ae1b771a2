# Install rules shared by the programs: where they go (GNUInstallDirs) and their man pages.
include(GNUInstallDirs)

# Man pages are a POSIX affair: Windows builds, native or cross, make none.
if(NOT WIN32)
    find_program(HELP2MAN help2man REQUIRED)
    find_program(GZIP gzip REQUIRED)
endif()

# Installs program (an executable target) into bin. Outside Windows it also makes its man page
# from its --help, compressed as Debian wants it, installs it in section 1, and adds the program
# to the KRONAX_INSTALLED_PROGRAMS property that the package test checks. summary is the page's
# one-line NAME text.
function(kronax_install_program program summary)
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(WIN32)
        return()
    endif()
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${program}.1)
    add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
                --version-string=${PROJECT_VERSION} --name=${summary} --output=${page}
                $<TARGET_FILE:${program}>
        COMMAND ${GZIP} -9nf ${page}
        DEPENDS ${program}
        COMMENT "Making the man page of ${program}"
        VERBATIM)
    add_custom_target(${program}_man_page ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    set_property(GLOBAL APPEND PROPERTY KRONAX_INSTALLED_PROGRAMS ${program})
endfunction()
