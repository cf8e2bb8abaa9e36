#pragma once

#include <filesystem>
#include <string>

class CSpecimen;

// The file name offered for exporting a specimen: its name cut before the first ".tps", with
// ".tps" appended, short enough for a 260-character file name buffer.
std::string DefaultTpsExportName(const std::string& shortPathName);

// Writes the specimen as a TPS file with its landmarks and one outline, scaled
// back to the file's units when the specimen has a scale. The previous file at the path is
// replaced only when everything was written; on failure `error` says why.
bool WriteSpecimenAsTps(const CSpecimen& specimen, const std::filesystem::path& path,
                        std::string& error);
