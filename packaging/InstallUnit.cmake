# Installs ardelremoted.service with the path of the program as it is installed: the prefix is
# known only now (cpack installs under /usr whatever the build was configured with).
set(ARDEL_UNIT_BINDIR "${CMAKE_INSTALL_PREFIX}/bin")
configure_file(${UNIT_SOURCE} ${UNIT_BINARY} @ONLY)
file(INSTALL ${UNIT_BINARY} DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/system")
