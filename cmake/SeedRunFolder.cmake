# cmake -DSOURCE=<data/files> -DTARGET=<run folder>/files -P SeedRunFolder.cmake
# Copies the committed data files into the run folder: a file when its run copy is missing or
# older than the committed one. Files the player writes (the settings, profiles, rooms and
# puzzles) are copied only when missing, so a newer commit never overwrites the player's saves.
# The profile template "profiles/Blank.xml" is the game's own (the game never writes it) and is
# kept up to date like the other committed files.
file(GLOB_RECURSE seed_files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(rel IN LISTS seed_files)
  set(from ${SOURCE}/${rel})
  set(to ${TARGET}/${rel})
  set(player_file FALSE)
  if(rel MATCHES "(^|/)QUORBSettings\\.xml$" OR rel MATCHES "^(profiles|rooms|puzzles)/")
    set(player_file TRUE)
  endif()
  if(rel STREQUAL "profiles/Blank.xml")
    set(player_file FALSE)
  endif()
  if(NOT EXISTS ${to})
    get_filename_component(folder ${to} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${from} ${to})
  elseif(NOT player_file AND ${from} IS_NEWER_THAN ${to})
    file(COPY_FILE ${from} ${to})
  endif()
endforeach()
