local t = {}
for w in string.gmatch("one two three", "%a+") do t[#t + 1] = w:upper() end
S = table.concat(t, ",")
N = math.floor(2.5) + #string.rep("ab", 3)
