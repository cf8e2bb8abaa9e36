#pragma once

#include "platform/user_interaction.h"

#include <exception>
#include <new>
#include <string>

// Runs one user action. A failure that escapes the core (a numerical routine, an allocation, an
// unreadable file) ends in a message; the application and the open document stay as they are.
template <typename Action> bool RunGuarded(CUserInteraction& ui, Action&& action) {
    try {
        action();
        return true;
    } catch (const std::bad_alloc&) {
        ui.Message("Not enough memory to complete the operation.", MsgButtons::OK, MsgIcon::Stop);
    } catch (const std::exception& e) {
        ui.Message(e.what(), MsgButtons::OK, MsgIcon::Stop);
    }
    return false;
}
