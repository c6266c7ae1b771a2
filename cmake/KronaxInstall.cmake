# Install rules shared by the programs: where they go (GNUInstallDirs) and their man pages.
include(GNUInstallDirs)

# Man pages are a POSIX affair: Windows builds, native or cross, make none.
if(NOT WIN32)
    find_program(HELP2MAN help2man REQUIRED)
    find_program(GZIP gzip REQUIRED)
endif()

# Installs program (an executable target) into bin as part of the package component. Outside
# Windows it also installs its man page in section 1, compressed as Debian wants it: the page given
# as PAGE (a template for configure_file with @KRONAX_VERSION@ and @KRONAX_DATE@), or else one
# made from its --help by help2man with summary as the NAME text. The program is added to the
# KRONAX_INSTALLED_PROGRAMS property that the package test checks.
function(kronax_install_program program component summary)
    cmake_parse_arguments(PARSE_ARGV 3 arg "" "PAGE" "")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
    if(WIN32)
        return()
    endif()
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${program}.1)
    if(arg_PAGE)
        string(TIMESTAMP KRONAX_DATE "%Y-%m-%d" UTC)
        configure_file(${arg_PAGE} ${page} @ONLY)
        set(makePage "")
        set(pageSource ${page})
    else()
        set(pageSource "")
        set(makePage COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
                             --version-string=${KRONAX_VERSION} --name=${summary} --output=${page}
                             $<TARGET_FILE:${program}>)
    endif()
    add_custom_command(
        OUTPUT ${page}.gz
        ${makePage}
        COMMAND ${GZIP} -9nkf ${page}
        DEPENDS ${program} ${pageSource}
        COMMENT "Making the man page of ${program}"
        VERBATIM)
    add_custom_target(${program}_man_page ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
    set_property(GLOBAL APPEND PROPERTY KRONAX_INSTALLED_PROGRAMS ${program})
endfunction()
