#include "document/carinova_doc.h"
#include "fuzz_input_file.h"
#include "platform/scripted_interaction.h"

// Opens the input as a document file the way File > Open does (validation, then reading into
// an emptied document) and, when that worked, saves the document again: whatever the reader
// accepted must be writable.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFuzzInputFile input(".cari");
    static const std::string saved = input.Sibling("saved.cari");
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    if (doc.OnOpenDocument(input.Write(data, size)))
        doc.OnSaveDocument(saved);
    return 0;
}
