# Read by cpack for each package it makes (CPACK_PROJECT_CONFIG_FILE, set by
# rpm.cmake): the RPM takes the licence where the Debian package takes its own.
if(CPACK_GENERATOR STREQUAL "RPM")
  set(CPACK_COMPONENTS_ALL program manual desktop rpm)
endif()
