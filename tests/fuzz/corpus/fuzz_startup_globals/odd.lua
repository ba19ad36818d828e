XML_PATH = "files\\xmlfiles"
ROOM_PATH = "rooms\n"
NODE_BREAK_FORCE = "12"
NODE_BREAK_DISTANCE = -1
setmetatable(_G, {__index = function() error("strict") end})
