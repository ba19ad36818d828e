XML_PATH = "/"
ROOM_PATH = "../../../../../../etc/"
ENVFILE_PATH = "../../x/"
PUZZLE_PATH = string.rep("p", 4096)
PROFILE_PATH = {}
SOUND_PATH = 7
NODE_BREAK_FORCE = 0/0
NODE_BREAK_DISTANCE = "far"
