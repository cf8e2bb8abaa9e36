#pragma once

#include <QTemporaryDir>

#include <memory>
#include <string>

class CCarinovaDoc;

// A copy of the open document in a temporary file, taken before another document is read:
// reading drops the contents first, so a file that turns out broken would otherwise leave
// the user with nothing.
class CDocumentSnapshot {
public:
    // Takes the copy; an empty document needs none.
    explicit CDocumentSnapshot(CCarinovaDoc& doc);
    ~CDocumentSnapshot();

    bool IsTaken() const { return !file_.empty(); }
    // Reads the copy back with its former path, title and modified flag.
    bool Restore();

private:
    CCarinovaDoc& doc_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::string file_;
    std::string pathName_;
    std::string title_;
    bool modified_ = false;
};
