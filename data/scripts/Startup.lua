-- Run first at start-up, before the settings, the templates and the menus: the folders the game
-- reads (relative to the run folder, where the build copies data/files into files/) and the
-- nodes' break rules. The console window and the menus are built by InitGame.lua.
XML_PATH = "files/xmlfiles/"
ROOM_PATH = "files/rooms/"
ENVFILE_PATH = "env/"
PUZZLE_PATH = "files/puzzles/"
PROFILE_PATH = "files/profiles/"
SOUND_PATH = "../../../../data/sounds/"

-- A widget's end node breaks out of its group when the star object's contact impulse on the
-- widget, squared, exceeds this.
NODE_BREAK_FORCE = 400.0
-- Grouped nodes' joints break when their anchors drift farther apart than this (world units).
NODE_BREAK_DISTANCE = 1.5
