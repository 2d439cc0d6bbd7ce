// What the viewer's keys do: one table gives both the action of a key and
// the help overlay's lines, so that the two cannot disagree.
#ifndef VIEWER_INPUT_H
#define VIEWER_INPUT_H

#include <string>
#include <vector>

enum ViewerAction {
    ACTION_NONE, ACTION_QUIT, ACTION_HELP, ACTION_HOME,
    ACTION_NEXT_MODEL, ACTION_PREVIOUS_MODEL, ACTION_NEXT_SKIN, ACTION_PREVIOUS_SKIN,
    ACTION_NEXT_LEGS, ACTION_PREVIOUS_LEGS, ACTION_NEXT_TORSO, ACTION_PREVIOUS_TORSO,
    ACTION_PAUSE, ACTION_STEP_FORWARD, ACTION_STEP_BACK, ACTION_FASTER, ACTION_SLOWER,
    ACTION_INTERPOLATION, ACTION_WIREFRAME, ACTION_TAGS, ACTION_RELOAD, ACTION_SCREENSHOT
};

// The action of WM_KEYDOWN's virtual-key code (Esc, Page Up/Down, Home, F1,
// F5, F12), ACTION_NONE for any other key.
ViewerAction Input_ActionOfKey(int virtual_key);

// The action of WM_CHAR's character. A letter bound only in lower case
// works with Shift too; 's', 'l' and 't' go forward, with Shift back. '='
// counts as '+', whose key it is without Shift.
ViewerAction Input_ActionOfChar(unsigned character);

// The help overlay: one line a binding, its keys, three spaces and what
// they do, the keys padded to one width; the mouse gestures among them.
std::vector<std::string> Input_HelpLines();

#endif
