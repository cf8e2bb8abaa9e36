#include "document/xml_dom_error.h"

#include "platform/c_format.h"
#include "platform/user_interaction.h"

#include <iostream>

CXmlDomError::CXmlDomError(std::uint32_t code, std::string source, std::string description)
    : std::runtime_error(description), code_(code), source_(std::move(source)),
      description_(std::move(description)) {}

std::string CXmlDomError::CodeMeaning() const {
    switch (code_) {
    case kFail:
        return "Unspecified error";
    case kOutOfMemory:
        return "Not enough memory resources are available to complete this operation.";
    default:
        return FormatC("Unknown error 0x%0lX", static_cast<unsigned long>(code_));
    }
}

void WriteXmlDomErrorReport(const CXmlDomError& error, std::ostream& out) {
    out << "Error:\n"
        << FormatC("Code = %08lx\n", static_cast<unsigned long>(error.Code()))
        << "Code meaning = " << error.CodeMeaning() << "\n"
        << "Source = " << error.Source() << "\n"
        << "Error Description = " << error.Description() << "\n";
}

void ShowXmlDomError(CUserInteraction& ui, const CXmlDomError& error) {
    WriteXmlDomErrorReport(error, std::clog);
    ui.MessageBox("_com_error exception occurred", "Error", MsgButtons::OK, MsgIcon::None);
}

void ShowUnknownXmlError(CUserInteraction& ui) {
    ui.MessageBox("Unknown exception occurred", "Error", MsgButtons::OK, MsgIcon::None);
}
