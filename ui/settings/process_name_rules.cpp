#include "ui/settings/process_name_rules.h"

#include "model/registry_layout.h"

namespace {
const wchar_t* const PATH_SEPARATORS = L"\\/";
const wchar_t* const INVALID_NAME_CHARACTERS = L"\\/:*?\"<>|";
const size_t KEY_NAME_MAX_LENGTH = PROGRAM_KEY_NAME_CAPACITY - 1;
} // namespace

ProcessNameCheck CheckProcessName(const std::wstring& trimmedName)
{
    if (trimmedName.empty())
        return ProcessNameCheck::Empty;
    if (trimmedName.find_first_of(PATH_SEPARATORS) != std::wstring::npos)
        return ProcessNameCheck::NotFileNameOnly;
    if (trimmedName.find_first_of(INVALID_NAME_CHARACTERS) != std::wstring::npos)
        return ProcessNameCheck::InvalidCharacters;
    if (trimmedName.size() > KEY_NAME_MAX_LENGTH)
        return ProcessNameCheck::TooLong;
    return ProcessNameCheck::Valid;
}

const wchar_t* ProcessNameMessage(ProcessNameCheck check)
{
    switch (check) {
    case ProcessNameCheck::Empty:
        return PROCESS_MSG_SPECIFY_NAME;
    case ProcessNameCheck::NotFileNameOnly:
        return PROCESS_MSG_FILE_NAME_ONLY;
    case ProcessNameCheck::InvalidCharacters:
        return PROCESS_MSG_INVALID_CHARACTERS;
    case ProcessNameCheck::TooLong:
        return PROCESS_MSG_TOO_LONG;
    case ProcessNameCheck::Valid:
        break;
    }
    return L"";
}
