-- Run once the object templates are loaded: builds the console window (the grave accent opens
-- it, Tab opens its input line alone) from the history panel and input strip images under the
-- texture folder, and with it the game's menus.
CreateConsole("ConsoleHistory.png", "ConsoleInput.png")
