#include "app/gui_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must not be used inside a namespace; registering twice is harmless.
void InitGuiResources() {
    Q_INIT_RESOURCE(images);
    Q_INIT_RESOURCE(help);
}
