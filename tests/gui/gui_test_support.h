#pragma once

#include "document/carinova_doc.h"
#include "platform/scripted_interaction.h"

#include <QTest>

#include <filesystem>
#include <string>

// A document with a scripted user behind it, filled from the sample files.
struct CGuiTestDocument {
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};

    // Specimen > Insert with the TPS sample: six specimens.
    void InsertSamples() {
        ui.fileDialogResults.push_back(
            {CFileDialogResult::Accepted, {std::string(CARINOVA_SAMPLES_DIR) + "/valves.tps"}});
        doc.OnSpecimenInsert();
        // The insert's one report; the tests count the messages that come after it.
        if (ui.messages.size() == 1 && ui.messages[0].text.rfind("valves.tps: 6 specimens", 0) == 0)
            ui.messages.clear();
    }
    CSpecimenRecord* Record(std::size_t index) const {
        return doc.GetSpecimenList().at(index).get();
    }
    // Approximation > Calculate, closing the sheet with its defaults.
    void Approximate(CSpecimenRecord* record) {
        ui.sheetEditors.push_back([](CModalSheet&) { return true; });
        doc.ApproximateSpecimen(record);
    }
    std::string Name(std::size_t index) const {
        return Record(index)->GetSpecimen()->ShortPathName;
    }
};

// A folder of its own under the system's temporary directory, removed afterwards.
class CTempFolder {
public:
    explicit CTempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(QCoreApplication::applicationPid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~CTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};
