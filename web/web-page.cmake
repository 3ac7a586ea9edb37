# Makes the self-contained page: web/tolvane.html with its style, its console
# and the game (the script that em++ made, with the WebAssembly inside) put in
# their places, each named by its placeholder.
#   cmake -D GAME=<tolvane.js> -D OUTPUT=<tolvane.html> -P web/web-page.cmake
cmake_minimum_required(VERSION 3.25)
set(tolvane.css ${CMAKE_CURRENT_LIST_DIR}/tolvane.css)
set(console.js ${CMAKE_CURRENT_LIST_DIR}/console.js)
foreach(part IN ITEMS tolvane.css console.js GAME)
  file(READ "${${part}}" text)
  # Inside a script element, "</" could end it early.
  string(REPLACE "</" "<\\/" ${part} "${text}")
endforeach()
# Written at every run, as the build wants (configure_file keeps an output whose text is the same).
file(READ ${CMAKE_CURRENT_LIST_DIR}/tolvane.html page)
string(CONFIGURE "${page}" page @ONLY)
file(WRITE "${OUTPUT}" "${page}")
