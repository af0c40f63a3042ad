// The built Kestrune.exe as a file: administrators run it elevated, so its image keeps the
// system's defences (DEP, ASLR with its relocations, no section both writable and executable) and
// the compiler's stack protection; and it carries nothing of the build that made it (no time
// stamp, no build folder), so that every build of one commit gives the same bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/e2e_driver.h"

namespace {

class ProgramImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream file(e2e::ProgramProcess::DefaultPath().c_str(), std::ios::binary);
        ASSERT_TRUE(file.good()) << "Kestrune.exe was not built";
        m_image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        ASSERT_GE(m_image.size(), sizeof(IMAGE_DOS_HEADER));
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        ASSERT_EQ(IMAGE_DOS_SIGNATURE, dos->e_magic);
        m_nt = At<IMAGE_NT_HEADERS32>(dos->e_lfanew);
        ASSERT_NE(nullptr, m_nt);
        ASSERT_EQ(IMAGE_NT_SIGNATURE, m_nt->Signature);
        ASSERT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, m_nt->OptionalHeader.Magic);
        const size_t first = dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                             m_nt->FileHeader.SizeOfOptionalHeader;
        for (WORD i = 0; i < m_nt->FileHeader.NumberOfSections; ++i) {
            const auto* section = At<IMAGE_SECTION_HEADER>(first + i * sizeof(IMAGE_SECTION_HEADER));
            ASSERT_NE(nullptr, section);
            m_sections.push_back(section);
        }
    }

    // A structure at a file offset, or null when the file is too short for it.
    template <typename T>
    const T* At(size_t offset) const
    {
        if (offset > m_image.size() || m_image.size() - offset < sizeof(T))
            return nullptr;
        return reinterpret_cast<const T*>(m_image.data() + offset);
    }

    const IMAGE_DATA_DIRECTORY& Directory(int index) const { return m_nt->OptionalHeader.DataDirectory[index]; }

    // A structure at a relative virtual address, or null when no section holds it.
    template <typename T>
    const T* AtRva(DWORD rva) const
    {
        for (const IMAGE_SECTION_HEADER* section : m_sections) {
            if (rva >= section->VirtualAddress && rva - section->VirtualAddress < section->SizeOfRawData)
                return At<T>(section->PointerToRawData + (rva - section->VirtualAddress));
        }
        return nullptr;
    }

    bool Contains(const std::string& bytes) const
    {
        return std::search(m_image.begin(), m_image.end(), bytes.begin(), bytes.end()) != m_image.end();
    }

    std::vector<char> m_image;
    const IMAGE_NT_HEADERS32* m_nt = nullptr;
    std::vector<const IMAGE_SECTION_HEADER*> m_sections;
};

// The project folder (the parent of the build folder beside the test programs), as the build saw
// it: under Wine drive Z: is the Unix root.
std::wstring ProjectFolder()
{
    std::wstring folder = e2e::ProgramProcess::DefaultPath();
    for (int parts = 0; parts < 2; ++parts)
        folder = folder.substr(0, folder.find_last_of(L"\\/"));
    return folder;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string Utf16(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

TEST_F(ProgramImage, KeepsDepAslrWithRelocationsAndNoWritableCode)
{
    const WORD dll = m_nt->OptionalHeader.DllCharacteristics;
    EXPECT_TRUE(dll & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) << "DEP";
    EXPECT_TRUE(dll & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) << "ASLR";
    EXPECT_FALSE(m_nt->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    EXPECT_GT(Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC).Size, 0u) << "no relocations to move the image by";
    for (const IMAGE_SECTION_HEADER* section : m_sections) {
        const std::string name(reinterpret_cast<const char*>(section->Name),
                               strnlen(reinterpret_cast<const char*>(section->Name), IMAGE_SIZEOF_SHORT_NAME));
        EXPECT_FALSE((section->Characteristics & IMAGE_SCN_MEM_WRITE) &&
                     (section->Characteristics & IMAGE_SCN_MEM_EXECUTE))
            << name << " is writable and executable";
    }
}

TEST_F(ProgramImage, IsBuiltWithStackProtection)
{
    // The protection's failure handler, with its message, is linked in only when compiled code
    // checks its stack guard.
    EXPECT_TRUE(Contains("*** stack smashing detected ***"));
    // And linked statically: the program needs no runtime DLL of the compiler's.
    EXPECT_FALSE(Contains("libssp-0.dll"));
}

TEST_F(ProgramImage, CarriesNoTimeStampAndNoBuildFolder)
{
    EXPECT_EQ(0u, m_nt->FileHeader.TimeDateStamp);
    const auto* resources = AtRva<IMAGE_RESOURCE_DIRECTORY>(Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).VirtualAddress);
    ASSERT_NE(nullptr, resources);
    EXPECT_EQ(0u, resources->TimeDateStamp);
    const IMAGE_DATA_DIRECTORY& debug = Directory(IMAGE_DIRECTORY_ENTRY_DEBUG);
    for (DWORD offset = 0; offset + sizeof(IMAGE_DEBUG_DIRECTORY) <= debug.Size; offset += sizeof(IMAGE_DEBUG_DIRECTORY)) {
        const auto* entry = AtRva<IMAGE_DEBUG_DIRECTORY>(debug.VirtualAddress + offset);
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(0u, entry->TimeDateStamp);
    }

    std::wstring folder = ProjectFolder();
    ASSERT_GT(folder.size(), 3u);
    std::vector<std::wstring> forms = {folder};
    if (folder.compare(0, 2, L"Z:") == 0 || folder.compare(0, 2, L"z:") == 0) {
        std::wstring unixForm = folder.substr(2);
        std::replace(unixForm.begin(), unixForm.end(), L'\\', L'/');
        forms.push_back(unixForm);
    }
    for (const std::wstring& form : forms) {
        EXPECT_FALSE(Contains(Narrow(form))) << Narrow(form);
        EXPECT_FALSE(Contains(Utf16(form))) << Narrow(form);
    }
}

} // namespace
