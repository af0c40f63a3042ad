#include "ui/settings/custom_dump_flags.h"

#include "model/registry_layout.h"
#include "model/text_utils.h"

const CustomDumpFlag CUSTOM_DUMP_FLAGS[] = {
    {0x00000001, L"Data segments", L"Global and static variables of all modules: adds their size, often a few MB"},
    {0x00000002, L"Full memory", L"All memory the process can read: the file grows to the size of the process"},
    {0x00000004, L"Handle data", L"The open handles of the process with their types and names: small"},
    {0x00000008, L"Filter memory", L"Keeps of the stacks only what a stack walk needs: smaller, less to see"},
    {0x00000020, L"Unloaded modules", L"The modules unloaded before the crash, by name and address: a few KB"},
    {0x00000040, L"Indirectly referenced memory",
     L"A little memory around every pointer found on the stacks: up to a few MB"},
    {0x00000080, L"Filter module paths", L"Module paths cut to file names: hides folder names, no size cost"},
    {0x00000100, L"Process and thread data", L"Process and thread environment blocks and TLS: a few KB"},
    {0x00000200, L"Private read-write memory", L"Heaps, stacks and all other private memory: large"},
    {0x00000400, L"Without optional data",
     L"Leaves out memory that the other choices do not need: smaller, less private data"},
    {0x00000800, L"Full memory information", L"The layout of the whole address space, not its contents: small"},
    {0x00001000, L"Thread information", L"Times, start addresses and affinity of every thread: small"},
    {0x00002000, L"Code segments", L"The code of every loaded module: adds several MB"},
    {0x00010000, L"Private write-copy memory", L"Module pages changed in memory (patched code or data): small"},
    {0x00020000, L"Ignore inaccessible memory", L"Writes the dump even when some memory cannot be read: no cost"},
    {0x00040000, L"Token information", L"The security tokens of the process and its threads: small"},
    {0x00080000, L"Module headers", L"The headers of every module, to debug without its file: small"},
};

const size_t CUSTOM_DUMP_FLAG_COUNT = sizeof(CUSTOM_DUMP_FLAGS) / sizeof(CUSTOM_DUMP_FLAGS[0]);

DWORD KnownCustomDumpFlags()
{
    DWORD known = 0;
    for (const CustomDumpFlag& flag : CUSTOM_DUMP_FLAGS)
        known |= flag.bit;
    return known;
}

DWORD ChooseCustomDumpFlags(DWORD original, DWORD checkedKnownBits)
{
    const DWORD known = KnownCustomDumpFlags();
    return (original & ~known) | (checkedKnownBits & known);
}

std::wstring CustomDumpFlagsText(DWORD flags, bool stored)
{
    std::wstring text = FormatText(L"CustomDumpFlags: 0x%08X", flags);
    if (!stored)
        text += L" (not stored: Windows uses its default)";
    else if (flags == DEFAULT_CUSTOM_DUMP_FLAGS)
        text += L" (Windows' default)";
    const DWORD unknown = flags & ~KnownCustomDumpFlags();
    if (unknown != 0)
        text += FormatText(L"\nBits not listed here are kept as they are: 0x%08X", unknown);
    return text;
}
