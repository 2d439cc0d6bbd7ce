#include "input.h"

#include <algorithm>
#include <cstddef>

namespace {

// Windows' virtual-key codes of the keys bound, kept here so that this file
// needs no windows.h.
const int vk_escape = 0x1B;
const int vk_prior = 0x21;   // Page Up
const int vk_next = 0x22;    // Page Down
const int vk_home = 0x24;
const int vk_f1 = 0x70;
const int vk_f5 = 0x74;
const int vk_f12 = 0x7B;

// A key by its virtual-key code or a character, the other 0.
struct Key {
    int virtual_key;
    unsigned character;
};

// A key and the key of the opposite action (none: {0, 0}); a mouse gesture
// has its name instead and no action of its own here.
struct Binding {
    Key key;
    ViewerAction action;
    Key back_key;
    ViewerAction back_action;
    const char *mouse;
    const char *what;
};

const Key no_key = {0, 0};

const Binding bindings[] = {
    {{vk_escape, 0}, ACTION_QUIT, no_key, ACTION_NONE, nullptr, "quit"},
    {{vk_f1, 0}, ACTION_HELP, no_key, ACTION_NONE, nullptr, "this help"},
    {no_key, ACTION_NONE, no_key, ACTION_NONE, "left drag", "orbit"},
    {no_key, ACTION_NONE, no_key, ACTION_NONE, "wheel or right drag", "zoom"},
    {no_key, ACTION_NONE, no_key, ACTION_NONE, "middle drag", "pan"},
    {{vk_home, 0}, ACTION_HOME, no_key, ACTION_NONE, nullptr, "first view"},
    {{vk_next, 0}, ACTION_NEXT_MODEL, {vk_prior, 0}, ACTION_PREVIOUS_MODEL, nullptr, "next / previous model"},
    {{0, 's'}, ACTION_NEXT_SKIN, {0, 'S'}, ACTION_PREVIOUS_SKIN, nullptr, "next / previous skin"},
    {{0, 'l'}, ACTION_NEXT_LEGS, {0, 'L'}, ACTION_PREVIOUS_LEGS, nullptr, "next / previous legs animation"},
    {{0, 't'}, ACTION_NEXT_TORSO, {0, 'T'}, ACTION_PREVIOUS_TORSO, nullptr, "next / previous torso animation"},
    {{0, ' '}, ACTION_PAUSE, no_key, ACTION_NONE, nullptr, "pause / go on"},
    {{0, '.'}, ACTION_STEP_FORWARD, {0, ','}, ACTION_STEP_BACK, nullptr, "one frame forward / back while paused"},
    {{0, '+'}, ACTION_FASTER, {0, '-'}, ACTION_SLOWER, nullptr, "speed x2 / /2"},
    {{0, 'i'}, ACTION_INTERPOLATION, no_key, ACTION_NONE, nullptr, "interpolation on / off"},
    {{0, 'w'}, ACTION_WIREFRAME, no_key, ACTION_NONE, nullptr, "wireframe on / off"},
    {{0, 'g'}, ACTION_TAGS, no_key, ACTION_NONE, nullptr, "tags as axes on / off"},
    {{vk_f5, 0}, ACTION_RELOAD, no_key, ACTION_NONE, nullptr, "reload"},
    {{vk_f12, 0}, ACTION_SCREENSHOT, no_key, ACTION_NONE, nullptr, "screenshot"},
};

// '+' is Shift with '=' on most layouts; '=' alone does the same.
const unsigned unshifted_plus = '=';

int same_key(const Key &a, const Key &b) {
    return a.virtual_key == b.virtual_key && a.character == b.character;
}

ViewerAction action_of(const Key &key) {
    for (const Binding &binding : bindings) {
        if (binding.action != ACTION_NONE && same_key(binding.key, key))
            return binding.action;
        if (binding.back_action != ACTION_NONE && same_key(binding.back_key, key))
            return binding.back_action;
    }
    return ACTION_NONE;
}

// The key's name as the help shows it: a letter in upper case, with
// "Shift+" when the upper case is what is bound.
std::string name_of(const Key &key) {
    switch (key.virtual_key) {
    case vk_escape: return "Esc";
    case vk_prior: return "Page Up";
    case vk_next: return "Page Down";
    case vk_home: return "Home";
    case vk_f1: return "F1";
    case vk_f5: return "F5";
    case vk_f12: return "F12";
    default: break;
    }
    unsigned c = key.character;
    if (c == ' ')
        return "Space";
    if (c >= 'a' && c <= 'z')
        return std::string(1, char(c - 'a' + 'A'));
    if (c >= 'A' && c <= 'Z')
        return "Shift+" + std::string(1, char(c));
    return std::string(1, char(c));
}

} // namespace

ViewerAction Input_ActionOfKey(int virtual_key) {
    if (virtual_key == 0)
        return ACTION_NONE;
    return action_of(Key{virtual_key, 0});
}

ViewerAction Input_ActionOfChar(unsigned character) {
    if (character == 0)
        return ACTION_NONE;
    if (character == unshifted_plus)
        character = '+';
    ViewerAction action = action_of(Key{0, character});
    if (action == ACTION_NONE && character >= 'A' && character <= 'Z')
        action = action_of(Key{0, character - 'A' + 'a'});
    return action;
}

std::vector<std::string> Input_HelpLines() {
    std::vector<std::string> keys;
    size_t width = 0;
    for (const Binding &binding : bindings) {
        std::string text = binding.mouse ? binding.mouse : name_of(binding.key);
        if (binding.back_action != ACTION_NONE)
            text += " / " + name_of(binding.back_key);
        width = std::max(width, text.size());
        keys.push_back(text);
    }
    std::vector<std::string> lines;
    for (size_t i = 0; i < keys.size(); i++)
        lines.push_back(keys[i] + std::string(width - keys[i].size() + 3, ' ') + bindings[i].what);
    return lines;
}
