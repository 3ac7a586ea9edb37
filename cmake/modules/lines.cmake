# Paths are kept in strings, one a line, and never in CMake lists, which would
# split them at semicolons and group them at brackets; nor is one ever read as
# a pattern.

# Takes the first line off such a string, every line of which ends in a line
# end, into the variable named LINE. The rest is kept through a group, as
# string(REGEX REPLACE) would match a ^ again after each line it replaced.
macro(pop_line lines line)
  string(REGEX REPLACE "\n.*" "" ${line} "${${lines}}")
  string(REGEX REPLACE "^[^\n]*\n(.*)" "\\1" ${lines} "${${lines}}")
endmacro()

# A path as a pattern of file(GLOB) that finds that path alone: its pattern
# characters are escaped, each as a set of that one character.
function(escape_pattern path pattern)
  string(REGEX REPLACE "([][*?])" "[\\1]" path "${path}")
  set(${pattern} "${path}" PARENT_SCOPE)
endfunction()
