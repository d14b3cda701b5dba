# Desktop integration: a menu entry whose launcher installs the files dropped
# on it, and the program's icon in the icon theme.

install(FILES ${CMAKE_SOURCE_DIR}/assets/icon256.png
        DESTINATION share/icons/hicolor/256x256/apps
        RENAME brushwick2.png)

# The entry names the installed program, so it is written at install time,
# when the final prefix (cmake --install --prefix) is known.
install(CODE "
  set(BW_DESKTOP_IN \"${CMAKE_CURRENT_LIST_DIR}/brushwick2.desktop.in\")
  set(BW_DESKTOP_OUT \"${CMAKE_BINARY_DIR}/packaging/brushwick2.desktop\")
  set(BW_PROGRAM_DIR \"${BW_INSTALL_DIR}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_desktop_entry.cmake)
