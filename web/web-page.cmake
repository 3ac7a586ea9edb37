# Makes the self-contained page: web/tolvane.html with its style, its console
# and the game (the script that em++ made, with the WebAssembly inside) put in
# their places.
#   cmake -D GAME=<tolvane.js> -D OUTPUT=<tolvane.html> -P web/web-page.cmake
cmake_minimum_required(VERSION 3.25)
set(web ${CMAKE_CURRENT_LIST_DIR})
file(READ ${web}/tolvane.html page)
foreach(part IN ITEMS tolvane.css:${web}/tolvane.css console.js:${web}/console.js GAME:${GAME})
  string(REPLACE ":" ";" part ${part})
  list(GET part 1 file)
  file(READ ${file} text)
  # Inside a script element, "</" could end it early.
  string(REPLACE "</" "<\\/" text "${text}")
  list(GET part 0 name)
  string(REPLACE "@${name}@" "${text}" page "${page}")
endforeach()
file(WRITE ${OUTPUT} "${page}")
