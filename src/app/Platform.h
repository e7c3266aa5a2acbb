#pragma once

class Prompts;
class WindowList;
class Launcher;

// The outside world as the editor sees it: prompts, the desktop's windows and program start.
// The real program hands in the real layers; tests hand in fakes.
struct Platform {
    Prompts& prompts;
    WindowList& windows;
    Launcher& launcher;
};
