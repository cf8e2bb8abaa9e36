#pragma once

// The state a command's update handler gives its menu item and tool-bar button.
struct CCommandState {
    bool enabled = false;
    bool checked = false;
};
