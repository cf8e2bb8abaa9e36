#pragma once

#include <cstdint>
#include <iosfwd>
#include <new>
#include <stdexcept>
#include <string>

class CUserInteraction;

// The error a failing operation on a document tree raises (a file that cannot be saved,
// memory running out while the tree is built). The document's file operations catch it, write
// a report to the diagnostic output and tell the user that it occurred.
class CXmlDomError : public std::runtime_error {
public:
    static constexpr std::uint32_t kFail = 0x80004005;
    static constexpr std::uint32_t kOutOfMemory = 0x8007000E;

    CXmlDomError(std::uint32_t code, std::string source, std::string description);

    std::uint32_t Code() const { return code_; }
    // The system's text for the code.
    std::string CodeMeaning() const;
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

private:
    std::uint32_t code_;
    std::string source_;
    std::string description_;
};

// The report of an error, one line per item.
void WriteXmlDomErrorReport(const CXmlDomError& error, std::ostream& out);

// The message shown for each kind of failure.
void ShowXmlDomError(CUserInteraction& ui, const CXmlDomError& error);
void ShowUnknownXmlError(CUserInteraction& ui);

// Runs one of the document's file jobs. A CXmlDomError (or memory running out) is reported
// to the diagnostic output and shown as "_com_error exception occurred"; any other exception
// as "Unknown exception occurred". Both return 0; otherwise the job's own result.
template <typename Job> int RunXmlJob(CUserInteraction& ui, const char* source, Job job) {
    try {
        return job();
    } catch (const CXmlDomError& error) {
        ShowXmlDomError(ui, error);
    } catch (const std::bad_alloc&) {
        ShowXmlDomError(ui, CXmlDomError(CXmlDomError::kOutOfMemory, source, "Out of memory."));
    } catch (...) {
        ShowUnknownXmlError(ui);
    }
    return 0;
}
