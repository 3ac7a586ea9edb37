# Read by cpack for each package it makes: what the packages do not share.
if(CPACK_GENERATOR STREQUAL "RPM")
  set(CPACK_COMPONENTS_ALL program manual desktop rpm)
elseif(CPACK_TOLVANE_NO_DEBIAN_PACKAGE)
  message(FATAL_ERROR "${CPACK_TOLVANE_NO_DEBIAN_PACKAGE}")
endif()
