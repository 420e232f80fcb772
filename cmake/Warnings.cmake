# SPDX-License-Identifier: GPL-2.0-or-later
# Warnings as errors on our own code.
function(tessaranth_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror)
endfunction()
