# SPDX-License-Identifier: GPL-2.0-or-later
# Writes the manual page tessaranth.1.gz from the program's own help texts, so that it names
# every command and option the program has. Run at install time:
#   cmake -DPROGRAM=<tessaranth> -DVERSION=<x.y.z> -DDOCDIR=<documents> -DPLUGINDIR=<plug-in folder>
#         -DOUTPUT=<file.1> [-DEMULATOR="<command line that runs the program>"] -P ManPage.cmake

separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")

function(help_text out)
    execute_process(COMMAND ${emulator} ${PROGRAM} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE failed
                    ERROR_VARIABLE error)
    if(failed)
        message(FATAL_ERROR "tessaranth ${ARGN} --help failed: ${error}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Help text as literal roff lines: backslashes and minus signs escaped, no line taken as a request.
function(roff_literal out text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

help_text(overview)
string(REGEX MATCH "\n([^\n]*)\n" summary "${overview}")
string(STRIP "${CMAKE_MATCH_1}" summary)
string(REGEX MATCHALL "\n  [a-z]+ " commands "${overview}")

set(page ".TH TESSARANTH 1 \"\" \"Tessaranth ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\ntessaranth \\- drives a graphic LCD or VFD from a music player\n")
string(APPEND page ".SH SYNOPSIS\n.B tessaranth\n.I command\n.RI [ options ]\n")
string(APPEND page ".SH DESCRIPTION\n${summary}\n")
string(FIND "${overview}" "\n\n" blankLine)  # the command list follows the usage and the summary
math(EXPR blankLine "${blankLine} + 2")
string(SUBSTRING "${overview}" ${blankLine} -1 commandList)
roff_literal(literal "${commandList}")
string(APPEND page ".PP\n${literal}.SH COMMANDS\n")
foreach(command IN LISTS commands)
    string(STRIP "${command}" command)
    help_text(text ${command})
    roff_literal(literal "${text}")
    string(APPEND page ".SS ${command}\n${literal}")
endforeach()
string(APPEND page ".SH FILES\n"
    ".TP\n.I $XDG_CONFIG_HOME/tessaranth/registry.reg\n"
    "The stored settings (in ~/.config when XDG_CONFIG_HOME is not set), written by the dialog's "
    "\"Save settings\" and by tessaranth config \\-\\-set and \\-\\-preset.\n"
    ".TP\n.I $XDG_CONFIG_HOME/tessaranth/service.env\n"
    "The options of the user service tessaranth.service: TESSARANTH_OPTIONS, MPD_HOST, MPD_PORT.\n"
    ".TP\n.I ${PLUGINDIR}/vis_lumidra.so\n"
    "The plug-in, found relative to the program's own folder.\n"
    ".SH SEE ALSO\n"
    ".BR systemctl (1);\n"
    "the hardware guide, ${DOCDIR}/hardware.md, and ${DOCDIR}/README.md.\n")
file(WRITE ${OUTPUT} "${page}")
execute_process(COMMAND gzip -9nf ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
