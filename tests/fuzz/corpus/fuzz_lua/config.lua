XML_PATH = "../../../../data/files/xmlfiles/"
PROFILE_PATH = XML_PATH .. "profiles/"
NODE_BREAK_FORCE = 250.5
NODE_BREAK_DISTANCE = 3
