A = 1
error("boom")
