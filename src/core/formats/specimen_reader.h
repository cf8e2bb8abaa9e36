#pragma once

#include "platform/text_line_reader.h"

#include <filesystem>
#include <memory>
#include <string>

class CSpecimen;

// The common interface of the outline readers. A reader lives for one file: ReadFirst once,
// then ReadNext until it fails. Each successful read fills the given empty specimen and
// completes it (orientation, statistics, halves). A failed read leaves a specimen the caller
// discards; no reader shows a message.
class CSpecimenReader {
public:
    explicit CSpecimenReader(std::string path) : path_(std::move(path)) {}
    virtual ~CSpecimenReader() = default;
    CSpecimenReader(const CSpecimenReader&) = delete;
    CSpecimenReader& operator=(const CSpecimenReader&) = delete;

    virtual bool ReadFirst(CSpecimen& specimen) = 0;
    virtual bool ReadNext(CSpecimen& specimen) = 0;

    const std::string& GetPath() const { return path_; }
    int GetSpecimenNumber() const { return specimenNumber_; }

protected:
    CTextLineReader file_;
    std::string path_;
    int specimenNumber_ = 1;
};

// The part of a path after its last '/' or '\' (the whole path when it has neither).
std::string ShortNameOfPath(const std::string& path);

// Whether every contour coordinate is a finite number. A specimen whose scaled coordinates
// overflow is broken: its statistics and fit would hold no numbers.
bool HasFiniteContour(const CSpecimen& specimen);
