# A cross-build takes header-only libraries from the host's CMake packages. Their imported
# targets name the host's include folder (/usr/include), which on the target compiler's path would
# shadow the target's own C and C++ headers; so the library's one folder of headers is copied into
# the build tree and the target points there instead.
#
# kronax_host_header_package(package target folder): finds package on the host and gives target
# only the headers under folder (for example CLI for <CLI/CLI.hpp>).
function(kronax_host_header_package package target folder)
    find_package(${package} REQUIRED NO_CMAKE_FIND_ROOT_PATH)
    get_target_property(includes ${target} INTERFACE_INCLUDE_DIRECTORIES)
    set(staged ${CMAKE_BINARY_DIR}/host-headers/${folder})
    foreach(include IN LISTS includes)
        if(IS_DIRECTORY ${include}/${folder})
            file(COPY ${include}/${folder} DESTINATION ${staged})
            set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "${package}: no folder ${folder} in its include folders ${includes}")
endfunction()
