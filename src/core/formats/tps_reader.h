#pragma once

#include "formats/specimen_reader.h"

#include <cstdint>
#include <string>

// True when one of the first two lines of the file begins with "LM=" and a number.
bool IsTpsFile(const std::string& path);

// Reads the outlines of a TPS file: each specimen starts with its "LM=" line; its first
// outline becomes the contour and the keyword lines after the points become its file data.
class CTpsReader : public CSpecimenReader {
public:
    explicit CTpsReader(std::string path) : CSpecimenReader(std::move(path)) {}

    bool ReadFirst(CSpecimen& specimen) override;
    bool ReadNext(CSpecimen& specimen) override;

private:
    bool Fail();
    void SkipLandmarks(int count);
    bool ReadOutline(CSpecimen& specimen);
    bool ReadPoints(CSpecimen& specimen, int count);
    void ReadTrailer(CSpecimen& specimen);
};
