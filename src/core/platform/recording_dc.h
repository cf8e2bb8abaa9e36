#pragma once

#include "platform/cdc.h"

#include <map>
#include <string>
#include <vector>

// A device context that draws nothing and remembers every primitive with the state it was
// drawn in; tests read the record. Text is measured as half the font height a character.
class CRecordingDC : public CDC {
public:
    enum class OpKind { Line, Rectangle, Ellipse, FillRect, Pixel, Text };

    struct Op {
        OpKind kind;
        CRect box;        // line: left/top = from, right/bottom = to; pixel and text: left/top
        std::string text; // text only
        CPen pen;
        CBrush brush;
        CFont font;
        ColorRef color = 0; // pixel, fill and text colour
        unsigned textAlign = 0;
        int rop2 = R2_COPYPEN;
    };

    explicit CRecordingDC(bool printing = false) : printing_(printing) {}

    bool IsPrinting() const override { return printing_; }
    int GetDeviceCaps(int index) const override;
    void SetDeviceCaps(int index, int value) { caps_[index] = value; }
    CSize GetTextExtent(std::string_view text) const override;

    const std::vector<Op>& Ops() const { return ops_; }
    std::vector<Op> OpsOfKind(OpKind kind) const;
    void Clear() { ops_.clear(); }

protected:
    void DoLine(CPoint from, CPoint to) override;
    void DoRectangle(const CRect& rect) override;
    void DoEllipse(const CRect& rect) override;
    void DoFillSolidRect(const CRect& rect, ColorRef color) override;
    void DoSetPixel(CPoint p, ColorRef color) override;
    void DoTextOut(CPoint p, std::string_view text) override;

private:
    Op MakeOp(OpKind kind, const CRect& box) const;

    bool printing_;
    std::map<int, int> caps_;
    std::vector<Op> ops_;
};
