#pragma once

#include "platform/EditorWindow.h"

// The editor's name for a Windows virtual-key code. Codes 97 to 122 count as the letters, as
// 65 to 90 do, so the numeric keypad's digits and the function keys reach the editor as letters.
WindowKey WindowKeyForVirtualKey(int code);
