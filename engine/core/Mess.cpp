#include "engine/core/Mess.h"

#include "engine/core/ResStrings.h"
#include "localise/LxErrors.h"
#include "localise/LxTextDictionary.h"
#include "platform/FormatSettings.h"
#include "platform/MessageService.h"

#include <stdexcept>

namespace orv {

namespace {

const char *const MessageTable[TMess::MessageCount] = {
    "No error; please ignore!",
    "File not found.",
    "Value was not acceptable",
    "Out of memory. You need at least 4M for this function",
    "Exit program? Save your data first!",
    "Tool Data File may be corrupt",
    "There is a problem saving the file ",
    "Tool",
    "No longer exists in this Tool Library, Delete this Tool data?",
    "Do you really want to change to Tool?",
    "A Tool called ",
    " already exists.  Overwrite the current data with the imported data?",
    "Do you really want to delete all the tooling data?",
    "The name \"",
    "\" already exists",
    "This tool can not be delete as it in use by the machine",
    "Work Piece Co ordinates",
    "Machine Co ordinates",
    "Do you really want to disconnect from the Milling Machine",
    "Change the tool in the machine to Tool Number ",
    "Machine Tooling File Does not exists, Select One Now",
    "Sorry File not recognised",
    "Compiled File Ready",
    "Machine Error: ",
    "Use this File in the Control?",
    "The Machine is not in Auto Mode",
    "The VR Machine is not in Auto Mode",
    "Sorry Only Single Files can be Dropped",
    "Has not been assigned, keep current tool?",
    "Error too many G codes on one line",
    "Error in code, Tool Number Not Valid",
    "Error in code, Value is invalid",
    "Error in code, Token not recognised",
    "Invalid Radius",
    "Bad ARC End Point",
    "Radius",
    "The file is large do you wish to turn Colour Formatting off?",
    "Error trying to open file",
    "Change this entry",
    "Save alterations?",
    "Failed to Find a valid Tool-",
    "Edit Tooling Now",
    "Compensation Error",
    "No Movement to start Compensation with",
    "Cannot Start or End with an Arc",
    "Invalid value stored in Tool Offset Table",
    "Offset value can not be zero",
    "No Drawing Elements in range",
    "No Drawing Elements drawn for that Line",
    "COM Port Number unsupported",
    "Baud Rate Number unsupported",
    "Polar length (X) must be greater than 0",
    "Macro programming structure is invalid",
};

TMess *gMess = nullptr;

std::string OutsideTableText(int Index)
{
    return "Message number " + std::to_string(Index) + " is not in the message table";
}

} // namespace

std::unique_ptr<TLxTextDictionary> MakeDictionary()
{
    auto dictionary = std::make_unique<TLxTextDictionary>();
    dictionary->SetDictionaryName("Dictionary1");
    dictionary->SetBinding(lxbiLanguageToLocale);
    return dictionary;
}

std::string TMess::DialogCaption(int DlgType)
{
    switch (DlgType) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    default:
        return "Orvellan";
    }
}

TMess::TMess() : FDictionary(MakeDictionary())
{
    if (!gMess)
        gMess = this;
    RegisterProgramStrings();
}

// The pass-through module stands in only until the program's own exists:
// its dictionary, never opened, must not become the default dictionary that
// the translation hooks use.
TMess::TMess(TUnregistered) : FDictionary(MakeDictionary())
{
    TLxDictionaries::Remove(FDictionary.get());
}

TMess::~TMess()
{
    if (gMess == this)
        gMess = nullptr;
}

bool TMess::OpenDictionary(const std::string &LanguageFile, const std::string &TranslationFile,
                           int Language, std::string &ErrorText)
{
    ErrorText.clear();
    try {
        FDictionary->Close();
        FDictionary->SetLanguageFileName(LanguageFile);
        FDictionary->SetFileName(TranslationFile);
        FDictionary->Open();
        // A dictionary whose files are not there stays closed without a word.
        if (!FDictionary->Active())
            throw std::runtime_error("The dictionary files \"" + LanguageFile + "\" and \"" +
                                     TranslationFile + "\" were not found");
        FDictionary->SetLanguage(Language);
    } catch (const std::exception &Error) {
        ErrorText = Error.what();
        try {
            FDictionary->Close();
        } catch (const std::exception &) {
        }
    }
    // The program reads and writes numbers with "." in every language.
    FormatSettings().DecimalSeparator = ".";
    return ErrorText.empty();
}

std::string TMess::Translate(const std::string &Text) const
{
    if (FTranslator)
        return FTranslator->TranslateText(Text);
    if (!FDictionary->Active())
        return Text;
    return TranslateText(FDictionary.get(), Text);
}

std::string TMess::TableText(int Index)
{
    return IsMessageIndex(Index) ? MessageTable[Index] : std::string();
}

std::string TMess::MessageText(int Index) const
{
    if (!IsMessageIndex(Index))
        return OutsideTableText(Index);
    return Translate(MessageTable[Index]);
}

int TMess::ShowMessageByIndex(int Index, int DlgType, unsigned Buttons, int HelpCtx) const
{
    if (!IsMessageIndex(Index)) {
        MessageDlg(Translate(DialogCaption(mtError)), OutsideTableText(Index), mtError, mbOK);
        return mrNone;
    }
    return MessageDlg(Translate(DialogCaption(DlgType)), MessageText(Index), DlgType, Buttons);
}

TMess &Mess()
{
    if (gMess)
        return *gMess;
    static TMess passThrough{TMess::TUnregistered{}};
    return passThrough;
}

} // namespace orv
