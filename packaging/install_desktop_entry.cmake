# Runs at install time: writes the menu entry for the installed program and
# installs it into share/applications. Expects BW_DESKTOP_IN, BW_DESKTOP_OUT
# and BW_PROGRAM_DIR (relative to the prefix).

set(program "${CMAKE_INSTALL_PREFIX}/${BW_PROGRAM_DIR}/brushwick2")

# A quoted Exec argument: backslash, double quote, back quote and dollar are
# escaped for the quoting and then once more for the string, and a percent
# sign is doubled so it is not taken for a field code.
set(quoted "${program}")
string(REPLACE "\\" "\\\\\\\\" quoted "${quoted}")
string(REPLACE "\"" "\\\\\"" quoted "${quoted}")
string(REPLACE "`" "\\\\`" quoted "${quoted}")
string(REPLACE "$" "\\\\$" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(BW_EXEC "\"${quoted}\"")

configure_file("${BW_DESKTOP_IN}" "${BW_DESKTOP_OUT}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${BW_DESKTOP_OUT}")
