# Paths are kept in strings, one a line, and never in CMake lists, which would
# split them at semicolons and group them at brackets; nor is one ever read as
# a pattern.

# Takes the first line off such a string, every line of which ends in a line
# end, into the variable named LINE.
macro(pop_line lines line)
  string(FIND "${${lines}}" "\n" pop_line_end)
  string(SUBSTRING "${${lines}}" 0 ${pop_line_end} ${line})
  math(EXPR pop_line_end "${pop_line_end} + 1")
  string(SUBSTRING "${${lines}}" ${pop_line_end} -1 ${lines})
endmacro()

# A path as a pattern of file(GLOB) that finds that path alone: its pattern
# characters are escaped, each as a set of that one character.
function(escape_pattern path pattern)
  string(REGEX REPLACE "([][*?])" "[\\1]" path "${path}")
  set(${pattern} "${path}" PARENT_SCOPE)
endfunction()
