local f = loadstring(string.dump(function() return 1 end))
local g = loadstring("return 1 + 1")
X = g()
