# Installs one menu entry of the source tree into share/applications for the
# prefix of the install under way (`cmake --install --prefix`, or /usr in the
# package): Exec and TryExec name the installed program by its full path, so
# the entry works wherever the program went, also when copied to the autostart
# folder (and TryExec makes a copy left behind after removal do nothing).
#
# Set before including it:
#   ENTRY_SOURCE   the entry in the source tree
#   ENTRY_PROGRAM  the program, relative to the prefix
#   ENTRY_PATH     the folder to start in, relative to the prefix (may be empty)
#   ENTRY_STAGE    a folder of the build tree to write the entry in first
#   ENTRY_DATADIR  the data folder, relative to the prefix

get_filename_component(entry_name "${ENTRY_SOURCE}" NAME)
file(READ "${ENTRY_SOURCE}" entry_text)
string(REGEX REPLACE "\n(Exec|TryExec)=[^\n]*" "\n\\1=${CMAKE_INSTALL_PREFIX}/${ENTRY_PROGRAM}"
  entry_text "${entry_text}")
if(ENTRY_PATH)
  string(APPEND entry_text "Path=${CMAKE_INSTALL_PREFIX}/${ENTRY_PATH}\n")
endif()
# Staged and removed again: an install as root leaves nothing in the build tree
# that a later install as the user could not replace.
file(WRITE "${ENTRY_STAGE}/${entry_name}" "${entry_text}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${ENTRY_DATADIR}/applications" TYPE FILE
  FILES "${ENTRY_STAGE}/${entry_name}")
file(REMOVE "${ENTRY_STAGE}/${entry_name}")
