XML_PATH = "files/xmlfiles/"
ROOM_PATH = "files/rooms/"
ENVFILE_PATH = "env/"
PUZZLE_PATH = "files/puzzles/"
PROFILE_PATH = "files/profiles/"
SOUND_PATH = "../../../../data/sounds/"
NODE_BREAK_FORCE = 400.0
NODE_BREAK_DISTANCE = 1.5
