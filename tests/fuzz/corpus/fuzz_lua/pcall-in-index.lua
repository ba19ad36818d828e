setmetatable(_G, {__index = function(t, k)
  for i = 1, 100 do pcall(function() while true do end end) end
  return 0 end})
while true do local x = NOT_THERE end
