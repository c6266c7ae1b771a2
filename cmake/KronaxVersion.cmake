# The version and the release date of the programs and packages, taken from git: the base
# version of project() followed by "+git<commits>.<short hash>", so that each commit sorts after
# the one before it. A source tarball made by scripts/make-source-tarball has no .git; it carries
# both values in its VERSION file (version on the first line, commit time on the second) and the
# commit subjects for the changelog in its CHANGES file.
#
# Sets KRONAX_VERSION, KRONAX_SOURCE_DATE_EPOCH (the commit time in seconds since 1970) and
# KRONAX_CHANGES (the commit subjects, newest first, one a line). Everything this build makes with a time in
# it uses the commit time: the compiler and the tools run by custom commands (rcc, help2man) see
# it as SOURCE_DATE_EPOCH, CPack through its project configuration file. The target kronax_version
# gives "version/KronaxVersion.h" with the version in it.

find_package(Git QUIET)
set(versionFile ${PROJECT_SOURCE_DIR}/VERSION)
set(changesFile ${PROJECT_SOURCE_DIR}/CHANGES)

function(kronax_git output)
    execute_process(COMMAND ${GIT_EXECUTABLE} ${ARGN} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed
                    ERROR_QUIET)
    if(failed)
        message(FATAL_ERROR "git ${ARGN} failed in ${PROJECT_SOURCE_DIR}")
    endif()
    set(${output} "${text}" PARENT_SCOPE)
endfunction()

if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    kronax_git(count rev-list --count HEAD)
    kronax_git(hash rev-parse --short=7 HEAD)
    kronax_git(KRONAX_SOURCE_DATE_EPOCH log -1 --format=%ct HEAD)
    kronax_git(subjects log --first-parent --format=%s HEAD)
    set(KRONAX_VERSION ${PROJECT_VERSION}+git${count}.${hash})
    # A new commit or checkout moves HEAD's log: configure again for the new version.
    kronax_git(headLog rev-parse --path-format=absolute --git-path logs/HEAD)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${headLog})
elseif(EXISTS ${versionFile})
    file(STRINGS ${versionFile} lines LIMIT_COUNT 2)
    list(GET lines 0 KRONAX_VERSION)
    list(GET lines 1 KRONAX_SOURCE_DATE_EPOCH)
    set(subjects "")
    if(EXISTS ${changesFile})
        file(READ ${changesFile} subjects)
    endif()
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${versionFile})
else()
    message(FATAL_ERROR "No version: ${PROJECT_SOURCE_DIR} is neither a git checkout nor a source "
                        "tarball with a VERSION file")
endif()
set(KRONAX_CHANGES "${subjects}")
message(STATUS "KRONAX version ${KRONAX_VERSION}")

set(ENV{SOURCE_DATE_EPOCH} ${KRONAX_SOURCE_DATE_EPOCH})
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
             "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KRONAX_SOURCE_DATE_EPOCH}")
# The commit time is the only time a program may carry.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    add_compile_options(-Wdate-time)
endif()

configure_file(${PROJECT_SOURCE_DIR}/version/KronaxVersion.cpp.in
               ${CMAKE_BINARY_DIR}/generated/KronaxVersion.cpp @ONLY)
add_library(kronax_version STATIC ${CMAKE_BINARY_DIR}/generated/KronaxVersion.cpp)
target_include_directories(kronax_version PUBLIC ${PROJECT_SOURCE_DIR})
