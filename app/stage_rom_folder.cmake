# Run after each link of the program: makes the tarvo/ folder beside it and
# copies the monitor ROM image into it when there is one. A ROM already in the
# folder is left alone when the source tree has none.
file(MAKE_DIRECTORY "${ROM_FOLDER}")
if(EXISTS "${MONITOR_ROM}")
  configure_file("${MONITOR_ROM}" "${ROM_FOLDER}/tarvo-rom.bin" COPYONLY)
endif()
