#pragma once

// The console's two effects that standard C++ cannot produce, one
// implementation per platform. Both flush standard output before they act,
// so everything written so far is on screen first.

// Gets the process ready to talk to the console; call once, before anything
// is written.
void prepareConsole();

// Clears the console and puts the cursor at its top-left corner.
void clearConsole();

// Shows the "press any key" prompt and returns after one key press. The key
// is used up: it is never read as input later.
void waitForKey();
