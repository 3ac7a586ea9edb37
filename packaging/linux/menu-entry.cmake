# Run when the game is installed (install_menu_entry in linux.cmake): the
# menu entry names the program by the path it is installed at, known only
# now, so that a desktop starts it whether or not that folder is on PATH. A
# path that a desktop would split or expand is quoted as desktop entries
# quote an argument. Reads what install_menu_entry sets: program (its path in
# the prefix), entry (the file to write), entry_folder and APP_ID.
cmake_path(ABSOLUTE_PATH program BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}")
string(REPLACE "%" "%%" program "${program}")
if(program MATCHES "[^-A-Za-z0-9/._+,:@=%]")
  string(REPLACE "\\" "\\\\\\\\" program "${program}")
  string(REGEX REPLACE "([\"`$])" "\\\\\\\\\\1" program "${program}")
  set(program "\"${program}\"")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tolvane.desktop.in ${entry} @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${entry_folder}" TYPE FILE FILES ${entry})
