# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files before it packs them: strips every program as Debian's
# dh_strip does, symbols and the compiler's .comment and .note sections alike.
file(GLOB_RECURSE staged LIST_DIRECTORIES FALSE "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(f IN LISTS staged)
  if(IS_SYMLINK "${f}")
    continue()
  endif()
  file(READ "${f}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND "${CPACK_VEKA_STRIP}" --remove-section=.comment
      --remove-section=.note "${f}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
