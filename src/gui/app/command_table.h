#pragma once

#include <QString>

#include <vector>

// One row of the menu table: the command, its menu text (with "\t" and the shortcut text where
// it has one), its status-bar prompt ("prompt\ntool tip", either part may be missing) and its
// shortcut key.
struct CCommandInfo {
    int id;
    const char* text;
    const char* prompt;
    const char* shortcut;
};

const std::vector<CCommandInfo>& CommandTable();
const CCommandInfo* FindCommand(int id);

// The part of a prompt shown in the status bar, and the part shown as the tool-bar tip.
QString StatusPrompt(const char* prompt);
QString ToolTipPrompt(const char* prompt);
