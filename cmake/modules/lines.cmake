# Paths are kept in strings, one a line, and never in CMake lists, which would
# split them at semicolons and group them at brackets.

# Takes the first line off such a string, every line of which ends in a line
# end, into the variable named LINE.
macro(pop_line lines line)
  string(FIND "${${lines}}" "\n" pop_line_end)
  string(SUBSTRING "${${lines}}" 0 ${pop_line_end} ${line})
  math(EXPR pop_line_end "${pop_line_end} + 1")
  string(SUBSTRING "${${lines}}" ${pop_line_end} -1 ${lines})
endmacro()
