#pragma once

#include "drawing/print_page.h"

class CDC;
struct CMorphospaceScene;

// The printed morphospace: one page with the header "Carinova: Morphospace" and the page
// footer, the picture in the upper two thirds of the frame and the variance chart below it
// (only the message when there is no analysis).
void PrintMorphospacePage(CDC& dc, const CMorphospaceScene& scene, const CPrintPageInfo& page);
