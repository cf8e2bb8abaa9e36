#include "platform/recording_dc.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

int CRecordingDC::GetDeviceCaps(int index) const {
    if (auto it = caps_.find(index); it != caps_.end())
        return it->second;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case HORZRES:
        return 1024;
    case VERTRES:
        return 768;
    case HORZSIZE:
        return 271; // millimetres of 1024 pixels at 96 dpi
    case VERTSIZE:
        return 203;
    default:
        return 0;
    }
}

CSize CRecordingDC::GetTextExtent(std::string_view text) const {
    // Hostile font heights must not overflow: the extent saturates at the int range.
    const long long h = GetFont().height == 0 ? 16 : std::llabs(GetFont().height);
    const long long w = static_cast<long long>(text.size()) * h / 2;
    return {static_cast<int>(std::min<long long>(w, INT_MAX)),
            static_cast<int>(std::min<long long>(h, INT_MAX))};
}

std::vector<CRecordingDC::Op> CRecordingDC::OpsOfKind(OpKind kind) const {
    std::vector<Op> result;
    for (const Op& op : ops_)
        if (op.kind == kind)
            result.push_back(op);
    return result;
}

CRecordingDC::Op CRecordingDC::MakeOp(OpKind kind, const CRect& box) const {
    Op op{kind, box, {}, GetPen(), GetBrush(), GetFont(), 0, GetTextAlign(), GetROP2()};
    return op;
}

void CRecordingDC::DoLine(CPoint from, CPoint to) {
    ops_.push_back(MakeOp(OpKind::Line, {from.x, from.y, to.x, to.y}));
}

void CRecordingDC::DoRectangle(const CRect& rect) {
    ops_.push_back(MakeOp(OpKind::Rectangle, rect));
}

void CRecordingDC::DoEllipse(const CRect& rect) {
    ops_.push_back(MakeOp(OpKind::Ellipse, rect));
}

void CRecordingDC::DoFillSolidRect(const CRect& rect, ColorRef color) {
    Op op = MakeOp(OpKind::FillRect, rect);
    op.color = color;
    ops_.push_back(op);
}

void CRecordingDC::DoSetPixel(CPoint p, ColorRef color) {
    Op op = MakeOp(OpKind::Pixel, {p.x, p.y, p.x, p.y});
    op.color = color;
    ops_.push_back(op);
}

void CRecordingDC::DoTextOut(CPoint p, std::string_view text) {
    Op op = MakeOp(OpKind::Text, {p.x, p.y, p.x, p.y});
    op.text = std::string(text);
    op.color = GetTextColor();
    ops_.push_back(op);
}
