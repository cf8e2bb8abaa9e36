#include "drawing/picture_font.h"

#include "model/int_round.h"

CFont MakePictureFont(float height, int weight, int pitchAndFamily) {
    CFont font;
    font.height = TruncToInt(height);
    font.weight = weight;
    font.pitchAndFamily = pitchAndFamily;
    font.faceName = "Arial";
    return font;
}
