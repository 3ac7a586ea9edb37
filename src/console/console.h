#pragma once

// The console's two effects that standard C++ cannot produce, one
// implementation per platform. Both flush standard output before they act,
// so everything written so far is on screen first. Once output has failed
// they do nothing: nobody could see them, and the run is about to end.

// Clears the console and puts the cursor at its top-left corner.
void clearConsole();

// Shows the "press any key" prompt and returns after one key press. The key
// is used up: it is never read as input later.
void waitForKey();
