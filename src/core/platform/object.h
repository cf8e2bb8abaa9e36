#pragma once

// Common base of the objects that travel with update notifications (specimens, records), so a
// view can tell them apart with dynamic_cast.
class CObject {
public:
    virtual ~CObject() = default;
};
