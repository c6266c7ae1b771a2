# Flags for the programs as Debian builds its own: the hardening flags of dpkg-buildflags (with
# every hardening feature: stack protector, fortified functions, full RELRO with bind-now), and
# the source and build folders left out of the debug information and the build ID, so that two
# builds of one commit in two folders give the same bytes. Only for native optimised builds: the
# sanitizer builds bring their own instrumentation, and a cross build is no Debian build.

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                        -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
    # ccache with a base_dir hands the compiler the sources' paths relative to the build folder.
    file(RELATIVE_PATH sourceFromBuild ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
    string(REGEX REPLACE "/$" "" sourceFromBuild "${sourceFromBuild}")
    if(sourceFromBuild)
        add_compile_options(-ffile-prefix-map=${sourceFromBuild}/=./)
    endif()
endif()

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(CMAKE_CROSSCOMPILING OR NOT DPKG_BUILDFLAGS OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU"
   OR NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    return()
endif()

# Returns in output the flags dpkg-buildflags gives for kind, less the optimisation and debug
# levels (the build type decides those) and its own file prefix map (made for its working folder).
function(kronax_dpkg_buildflags kind output)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
    set(${output} ${flags} PARENT_SCOPE)
endfunction()

kronax_dpkg_buildflags(CPPFLAGS preprocessorFlags)
kronax_dpkg_buildflags(CXXFLAGS compilerFlags)
kronax_dpkg_buildflags(LDFLAGS linkerFlags)
add_compile_options(${preprocessorFlags} ${compilerFlags})
add_link_options(${linkerFlags})
message(STATUS "Hardening flags: ${preprocessorFlags} ${compilerFlags} ${linkerFlags}")
