# Writes OUTPUT, the command-line manual as text with Windows line ends: the program's --help,
# then the --help of each subcommand it lists. Run with cmake -P; PROGRAM is the program, run
# through WINE_RUN WINE_PREFIX when WINE_RUN is set.
set(run ${PROGRAM})
if(WINE_RUN)
    set(run ${WINE_RUN} ${WINE_PREFIX} ${PROGRAM})
endif()

function(help_of variable)
    execute_process(COMMAND ${run} ${ARGN} --help OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\r" "" text "${text}")
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()

help_of(manual)
string(REGEX MATCH "\nSubcommands:\n([^\n]+\n)+" listed "${manual}")
string(REGEX MATCHALL "\n  [a-z][a-z-]*" subcommands "${listed}")
foreach(subcommand IN LISTS subcommands)
    string(STRIP "${subcommand}" subcommand)
    help_of(help ${subcommand})
    string(APPEND manual "\n\nkronax ${subcommand}\n\n${help}")
endforeach()
string(REPLACE "\n" "\r\n" manual "${manual}")
file(WRITE ${OUTPUT} "${manual}")
