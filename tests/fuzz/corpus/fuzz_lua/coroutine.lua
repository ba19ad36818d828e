local c = coroutine.wrap(function() while true do coroutine.yield(1) end end)
for i = 1, 10 do c() end
