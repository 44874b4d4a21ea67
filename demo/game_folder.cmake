# Keeps the demo's game folder in step with the build without touching what the player wrote
# there (saves and settings).
#   cmake -DACTION=clear -DGAME_DIR=<folder> -DFOLDERS=<packed folders> -DFILES=<loose files> -P game_folder.cmake
#     removes each packed folder's archive and any loose folder of that name an earlier build
#     left (which would hide the packed copy), and the loose files the build ships.
#   cmake -DACTION=seed -DFROM=<file> -DTO=<file> -P game_folder.cmake
#     copies a settings template unless the player's own file is already there.
if(ACTION STREQUAL "clear")
  foreach(folder IN LISTS FOLDERS)
    file(REMOVE_RECURSE ${GAME_DIR}/${folder}.DPK ${GAME_DIR}/${folder})
  endforeach()
  foreach(loose IN LISTS FILES)
    file(REMOVE ${GAME_DIR}/${loose})
  endforeach()
  file(MAKE_DIRECTORY ${GAME_DIR})
elseif(ACTION STREQUAL "seed")
  if(NOT EXISTS ${TO})
    get_filename_component(folder ${TO} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${FROM} ${TO})
  endif()
else()
  message(FATAL_ERROR "game_folder.cmake: ACTION is clear or seed, not \"${ACTION}\"")
endif()
