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
-- widget, squared, exceeds this. The Tutorial's hardest hit, its wooden ball dropped six units
-- onto the front face's bridge, is about 28: nothing a Tutorial solution builds breaks, a metal
-- ball dropped as far (about 160) holds too, and a star object thrown hard at a chain (an impulse
-- above 20) knocks its end out.
NODE_BREAK_FORCE = 400.0
-- Grouped nodes' joints break when their anchors drift farther apart than this (world units), well
-- beyond a loaded widget's sag (the Tutorial's sag less than 0.2).
NODE_BREAK_DISTANCE = 1.5
