#pragma once

// Makes the resources compiled into the GUI library (images, help pages) available; needed
// once per program because the library is linked statically.
void InitGuiResources();
