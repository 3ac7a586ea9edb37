# require(<program> <Debian package> <what needs it>): finds a program, or
# stops and says which package brings it. The program's path is then in the
# variable of its name, upper case, dashes and dots as underscores.
# Not find_program(REQUIRED) alone: its message cannot name the package.
function(require program package what)
  string(MAKE_C_IDENTIFIER ${program} variable)
  string(TOUPPER ${variable} variable)
  find_program(${variable} ${program})
  if(NOT ${variable})
    message(FATAL_ERROR "${what} needs ${program} (Debian: ${package}): "
                        "install it, then try again.")
  endif()
endfunction()
