#pragma once

// Chooses Qt's offscreen platform when there is no display to draw on, so that the batch tool
// renders on servers. Call before the QGuiApplication is constructed. A platform the user chose
// (QT_QPA_PLATFORM) is kept. On the offscreen platform Qt's warning about a missing runtime
// folder is left out. Returns whether it chose the offscreen platform.
bool EnsureHeadlessPlatform();
