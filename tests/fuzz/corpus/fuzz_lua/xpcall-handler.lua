while true do xpcall(function() while true do end end, function() while true do end end) end
