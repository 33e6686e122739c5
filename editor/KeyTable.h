#pragma once

#include "platform/EditorWindow.h"

// The editor's key number for a key: space 0, up 1, down 2, left 3, right 4, digits 5 to 14,
// letters 15 to 40; -1 for every other key, which the editor ignores.
int KeyNumberForKey(WindowKey key);
